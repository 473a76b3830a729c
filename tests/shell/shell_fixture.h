#pragma once
// A fresh program state per test: test services with a virtual clock, a temporary program
// directory, no windows and the shared state as at start.
#include "shell/forms.h"
#include "shell/globals.h"
#include "support/test_services.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSharedState();
        ASSERT_TRUE(dir.isValid());
        svc.programDirectory = dir.path();
        platform::setServices(&svc);
    }
    void TearDown() override
    {
        forms().destroyAll();
        platform::setServices(nullptr);
        resetSharedState();
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    TestServices svc;
    QTemporaryDir dir;
};
