#pragma once

// main() for the QtTest executables: glog writes to stderr only (no log files
// from tests), and widgets render offscreen unless told otherwise.

#include <QApplication>
#include <QtTest>

#include <glog/logging.h>

#define TAVRIX_TEST_MAIN(TestClass)                                          \
    int main(int argc, char** argv)                                          \
    {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                         \
        FLAGS_logtostderr = true;                                            \
        FLAGS_minloglevel = 0;                                               \
        google::InitGoogleLogging(argv[0]);                                  \
        QApplication app(argc, argv);                                        \
        TestClass test;                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                           \
        const int rc = QTest::qExec(&test, argc, argv);                      \
        google::ShutdownGoogleLogging();                                     \
        return rc;                                                           \
    }
