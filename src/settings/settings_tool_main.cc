#include "settings/settings_tool.h"

int main(int argc, char** argv) { return kelvador::RunSettingsTool(argc, argv); }
