// ctest-label: gui
// The sound source dialog fits its captions to their texts when it shows, so that a language's
// longer caption set after the dialog was made is not cut.
#include "mixer/TSoundSourceForm.h"
#include "platform/NullMixerBackend.h"

#include <QLabel>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(SoundSourceForm, CaptionsFitTheirTextsWhenTheDialogShows)
{
    mixer::TSoundSourceForm form([] { return std::make_unique<platform::NullMixerBackend>(); });
    const struct {
        QLabel* label;
        QString text;
    } rows[] = {
        {form.Label1, QStringLiteral("Mixer device of the sound card in use:")},
        {form.Label2, QStringLiteral("W")},
    };
    for (const auto& row : rows)
        row.label->setText(row.text);
    form.show();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_EQ(row.label->width(), row.label->sizeHint().width());
        EXPECT_GE(row.label->width(), row.label->fontMetrics().horizontalAdvance(row.text));
    }
    EXPECT_EQ(form.Label1->pos(), QPoint(25, 16)); // fitted in place
    EXPECT_EQ(form.Label2->pos(), QPoint(24, 80));
    form.close();
}
