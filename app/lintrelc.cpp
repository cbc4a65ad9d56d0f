// Placeholder until the command-line compiler lands.
int main() { return 2; }
