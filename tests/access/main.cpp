#include <QCoreApplication>

#include <gtest/gtest.h>

// The serial port and the timers need a Qt application on the test thread.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
