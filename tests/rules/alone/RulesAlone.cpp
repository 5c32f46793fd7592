// Links every object of the rules model and nothing above it (see
// tests/rules/tests.cmake): the program exists to be linked, so a rules file
// that calls into the actions, the world or the screens breaks the build.
int main() { return 0; }
