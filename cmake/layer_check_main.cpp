// Entry of the layer link checks: the program only has to link.
int main() { return 0; }
