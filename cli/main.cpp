#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    (void)argc; (void)argv;
    std::puts("torvane-cli");
    return 0;
}
