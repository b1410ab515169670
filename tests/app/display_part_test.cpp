// ctest-label: gui
// ctest-link: vexa_library vexa_recording
// The display in the main window as the program builds it, over a scripted engine: the boxes'
// background is the skin under them, Idle shows the stop symbol and "00:00", a running channel
// fills the spectrum box and the meters of the frame the boxes show, the loaded mode and the
// spectrum menu set the picture, and without a recording device the boxes still show the
// background and counter with no message of their own.
#include "../recording/SessionFakes.h"
#include "../visual/VisualImages.h"

#include "WindowShown.h"
#include "app/DisplayPart.h"
#include "skin/MainFormLayout.h"
#include "skin/TPaintBox.h"
#include "skin/TQLTCircleButton.h"
#include "support/WindowFixture.h"
#include "visual/DisplayTick.h"
#include "visual/Led.h"

#include <QAction>
#include <QActionGroup>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using visualtest::sameRegion;

constexpr QRgb Yellow = 0xffffff00;

// A capture that reports itself active at 5 s with a loud band 5 and half-scale levels.
class LoudCapture : public fakes::FakeCaptureAudio {
public:
    using FakeCaptureAudio::FakeCaptureAudio;
    int channelIsActive(audio::Handle) override { return audio::Playing; }
    std::int64_t channelGetPosition(audio::Handle) override { return 5 * 176400 + 1000; }
    double channelBytes2Seconds(audio::Handle, std::int64_t pos) override { return double(pos) / 176400.0; }
    std::uint32_t channelGetLevel(audio::Handle) override { return 16384u | (16384u << 16); }
    int channelGetData(audio::Handle, void* buffer, std::uint32_t length) override
    {
        if (length != audio::DataFft1024)
            return -1;
        float fft[512] = {};
        fft[5 + 5] = 0.2f;
        std::memcpy(buffer, fft, sizeof(fft));
        return int(sizeof(fft));
    }
};

class DisplayPartTest : public testsupport::WindowFixture {
protected:
    void SetUp() override
    {
        useRecordingsFolder();
        store_.setValue("Format", "0");
    }
    visual::DisplayTick& display() { return *parts_->display.display(); }
    QImage box() { return layout().SpectrumBox->image(); }
    QImage meters() { return layout().MeterBox->image(); }
    // The skin art under the spectrum box, with the counter drawn on it.
    QImage skinWithCounter(std::uint32_t seconds, TransportState state)
    {
        QImage image = skin::MainFormLayout::art("skin").convertToFormat(QImage::Format_RGB32).copy(10, 56, 88, 44);
        visual::DrawLedTime(image, seconds, state, Yellow, 4);
        return image;
    }
};

} // namespace

TEST_F(DisplayPartTest, IdleBoxesShowTheSkinUnderThemAndTheCounter)
{
    fakes::EventLog log;
    fakes::FakeCaptureAudio engine(log);
    auto form = makeForm(engine);
    form->show();
    ASSERT_NE(parts_->display.display(), nullptr);
    form->displayTick();
    ASSERT_EQ(box().size(), QSize(88, 44));
    ASSERT_EQ(meters().size(), QSize(154, 10));
    // The background is the skin as the window painted it, under each box.
    const QImage skin = skin::MainFormLayout::art("skin").convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(sameRegion(box(), skinWithCounter(0, Idle), box().rect()));
    EXPECT_TRUE(sameRegion(meters(), skin.copy(104, 90, 154, 10), meters().rect()));
    EXPECT_EQ(box().pixel(41, 4), visual::LedIdleColour);
    EXPECT_EQ(box().pixel(54, 4), Yellow);
    EXPECT_TRUE(sink_.messages().isEmpty());
    form->close();
}

TEST_F(DisplayPartTest, ARunningChannelFillsTheBoxAndTheMeters)
{
    fakes::EventLog log;
    LoudCapture engine(log);
    auto form = makeForm(engine);
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
    emit layout().QLTCircleButtonRecord->clicked();
    ASSERT_EQ(form->transport().state(), Recording);
    form->displayTick();
    const QImage frame = box();
    // Band 5 is full: column 5 in the gradient, with the peak dot on the top row.
    EXPECT_EQ(frame.pixel(5, 0), Yellow);
    for (int y = 1; y < 44; ++y)
        ASSERT_EQ(frame.pixel(5, y), display().spectrum().gradient(y)) << y;
    // 5 s recorded: "00:05", and at an odd second the recording symbol is off.
    QImage expected = display().spectrum().Background.copy();
    visual::DrawLedTime(expected, 5, Recording, Yellow, 4);
    EXPECT_TRUE(sameRegion(frame, expected, QRect(20, 0, 68, 44)));
    // Half-scale levels: both bars 77 pixels.
    EXPECT_EQ(display().volume().BarLeft, 77);
    EXPECT_EQ(display().volume().BarRight, 77);
    EXPECT_EQ(meters().pixel(0, 0), qRgb(255, 255, 0));
    EXPECT_EQ(meters().pixel(76, 8), display().volume().colour(76));
    EXPECT_EQ(meters().pixel(77, 8), Yellow);
    // The boxes show exactly the frames composed.
    EXPECT_TRUE(sameRegion(frame, display().spectrum().Bitmap, frame.rect()));
    EXPECT_TRUE(sameRegion(meters(), display().volume().Bitmap, meters().rect()));

    emit layout().QLTCircleButtonStop->clicked();
    ASSERT_EQ(form->transport().state(), Idle);
    form->displayTick();
    EXPECT_TRUE(sameRegion(box(), skinWithCounter(0, Idle), box().rect()));
    EXPECT_TRUE(sink_.messages().isEmpty());
    form->close();
}

TEST_F(DisplayPartTest, TheLoadedModeAndTheSpectrumMenuChooseThePicture)
{
    const struct {
        const char* stored;
        visual::SpectrumMode loaded;
        const char* item;
        visual::SpectrumMode chosen;
        int originY;
    } rows[] = {
        {"1", visual::SpectrumMode::Bars, "MenuSpec3", visual::SpectrumMode::Waveform, 22},
        {"2", visual::SpectrumMode::Waveform, "MenuSpec1", visual::SpectrumMode::Blaze, 0},
        {"7", visual::SpectrumMode::Blaze, "MenuSpec2", visual::SpectrumMode::Bars, 0},
        {"", visual::SpectrumMode::Blaze, "MenuSpec3", visual::SpectrumMode::Waveform, 22},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        store_.setValue("Spectrum", row.stored);
        fakes::EventLog log;
        fakes::FakeCaptureAudio engine(log);
        auto form = makeForm(engine);
        EXPECT_EQ(display().Mode(), row.loaded);
        const QString loadedItem = QStringLiteral("MenuSpec%1").arg(int(row.loaded) + 1);
        ASSERT_NE(form->menuItem(loadedItem), nullptr);
        EXPECT_TRUE(form->menuItem(loadedItem)->isChecked()); // the menu shows the loaded mode
        form->show();
        display().spectrum().Peaks[3] = 20;
        display().spectrum().Bars[3] = 10;
        QAction* item = form->menuItem(row.item);
        ASSERT_NE(item, nullptr);
        item->trigger();
        for (QAction* mode : parts_->display.spectrumModes()->actions())
            EXPECT_EQ(mode->isChecked(), mode == item)
                << mode->objectName().toStdString(); // one at a time
        EXPECT_EQ(display().Mode(), row.chosen);
        EXPECT_EQ(display().spectrum().OriginY, row.originY);
        EXPECT_EQ(form->Settings().SpectrumMode, int(row.chosen)); // the window still stores it
        EXPECT_EQ(display().spectrum().Peaks[3], 20);
        EXPECT_EQ(display().spectrum().Bars[3], 10);
        form->close();
    }
}

TEST_F(DisplayPartTest, WithoutARecordingDeviceTheBoxShowsTheCounterAndSaysNothing)
{
    fakes::EventLog log;
    fakes::FakeCaptureAudio engine(log);
    engine.failRecordInit = true;
    engine.failRecordStart = true; // as an engine that never started refuses
    auto form = makeForm(engine);
    ASSERT_TRUE(sink_.messages().isEmpty()); // the devices are not asked before the first paint
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
    ASSERT_FALSE(parts_->recording.audioStarted());
    ASSERT_EQ(sink_.messages().size(), 1); // the start-up's own message
    for (int i = 0; i < 3; ++i)
        form->displayTick();
    EXPECT_TRUE(sameRegion(box(), skinWithCounter(0, Idle), box().rect()));
    // Record fails with its own message; the box stays at the counter.
    emit layout().QLTCircleButtonRecord->clicked();
    form->displayTick();
    EXPECT_EQ(form->transport().state(), Idle);
    EXPECT_TRUE(sameRegion(box(), skinWithCounter(0, Idle), box().rect()));
    const int messages = sink_.messages().size();
    for (int i = 0; i < 3; ++i)
        form->displayTick();
    EXPECT_EQ(sink_.messages().size(), messages);
    form->close();
}
