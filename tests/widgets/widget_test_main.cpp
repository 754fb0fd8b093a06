// Widget tests run on the offscreen platform: no display, no window manager.
#include <QApplication>

#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // as the program itself does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
