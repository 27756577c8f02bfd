#include <cstdio>

int main()
{
    std::puts("Velcor 0.56");
    return 0;
}
