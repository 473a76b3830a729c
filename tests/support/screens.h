#pragma once
// Screens for people who review the look: a window laid out as a user sees it, saved to
// build/.../screens/<name>.png.
#include "support/whole_text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QWidget>

inline void saveScreen(QWidget& w, const QString& name)
{
    layOutPending(w);
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath(name + ".png");
    ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
}
