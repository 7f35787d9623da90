#include "driver/run_sequence.h"

int main(int argc, char** argv) { return kelvador::RunExtraction(argc, argv); }
