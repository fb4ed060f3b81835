// The floor of a process start for the whole-process benchmark: loading a
// C++ program with the same runtime libraries, and nothing else.
#include <iostream>

int main() {
    return std::cout.good() ? 0 : 1;
}
