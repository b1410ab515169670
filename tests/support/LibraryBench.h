#pragma once
// The recordings library's pieces wired as the window wires them, over the library's fakes: a
// private folder with the recordings in rec/ and the language file beside it, the host, engine,
// list, panel and a message sink, with file information, selection and playback on them.
#include "../library/LibraryFakes.h"
#include "library/FileInfo.h"
#include "library/FileSelection.h"
#include "library/Playback.h"
#include "support/RecordingMessageSink.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace librarytest {

struct LibraryBench {
    LibraryBench()
    {
        EXPECT_TRUE(root.isValid());
        QDir(root.path()).mkdir("rec");
        host.folder = root.path() + "/rec/";
        host.lang.open(writeLanguage(root.path()));
    }

    QTemporaryDir root;
    FakeHost host;
    FakeEngine engine;
    FakeListView view;
    FakePanel panel;
    testsupport::RecordingMessageSink sink;
    library::FileInfo info{engine, sink};
    library::FileSelection selection{host, view, panel, info};
    library::Playback playback{host, engine, view, selection, info, sink};
};

} // namespace librarytest
