#pragma once

// The one QApplication of a test program that makes widgets, made on first
// use and kept until the program ends.

#include <QApplication>

namespace quill::testsupport {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "quill test";
    static char *argv[] = {name, nullptr};
    if (!qApp)
        new QApplication(argc, argv);
}

} // namespace quill::testsupport
