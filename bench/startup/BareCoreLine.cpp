// The yardstick for `huvella --convert`: a bare QtCore program that prints one line.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::puts("20 240 120");
    return 0;
}
