#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include "tests/support/application.h"

namespace quill::testsupport {

// The base of every test that makes the main window: one QApplication for
// the suite, and for each test a workspace and a home folder of its own, so
// that every window starts as on a first run and nothing reaches the user's.
class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testsupport::ensureApplication();
    }

    // XDG_DATA_HOME, XDG_STATE_HOME and HOME point at this test's folders
    // (the documents folder lies under HOME unless a user-dirs file says
    // otherwise).
    void useFreshWorkspace()
    {
        ASSERT_TRUE(dataHome.isValid());
        ASSERT_TRUE(stateHome.isValid());
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // The control of that design name under root; a missing one fails the test.
    template <typename T> static T *controlNamed(const QObject *root, const char *name)
    {
        T *found = root->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir dataHome;
    QTemporaryDir stateHome;
    QTemporaryDir home;
};

} // namespace quill::testsupport
