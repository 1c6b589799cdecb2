#include <cstdio>

int main()
{
    std::fputs("usage: fmtool COMMAND ...\n", stderr);
    return 2;
}
