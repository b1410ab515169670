#pragma once
// The window shown as the program shows it: the first paint, then what waits for it (the mixer
// and the audio engine start, the default language is stored). Runs the event loop until that
// is done; false when it never came.
#include "app/TMainForm.h"

#include <QDeadlineTimer>
#include <QtTest/QTest>

namespace apptest {

inline bool showAndWaitForFirstPaint(app::TMainForm& form)
{
    form.show();
    QDeadlineTimer deadline(5000); // a generous bound: only a window that never paints reaches it
    while (!form.FirstShowingDone() && !deadline.hasExpired())
        QTest::qWait(5);
    return form.FirstShowingDone();
}

} // namespace apptest
