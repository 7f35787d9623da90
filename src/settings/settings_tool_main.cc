// Placeholder until the settings companion lands.
int main() { return 1; }
