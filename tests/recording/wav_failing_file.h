#pragma once
// A FileWriter for the writers' failure tests: a real file (SystemFileWriter) behind a disk
// that holds at most `capacity` bytes (a write is cut where the file would grow past it), and
// switches that make open, seek or close fail.
#include <limits>

#include "recording/SystemFileWriter.h"

class FailingFileWriter : public recording::FileWriter {
public:
    std::int64_t capacity = std::numeric_limits<std::int64_t>::max();
    bool failOpen = false;
    bool failSeek = false;
    bool failClose = false;
    int writes = 0; // write calls seen

    bool open(const QString& path) override { return !failOpen && file_.open(path); }
    std::int64_t write(const char* data, std::int64_t bytes) override
    {
        ++writes;
        const std::int64_t room = std::max<std::int64_t>(0, capacity - file_.position());
        return file_.write(data, std::min(bytes, room));
    }
    bool seek(std::int64_t position) override { return !failSeek && file_.seek(position); }
    std::int64_t position() const override { return file_.position(); }
    bool resize(std::int64_t size) override { return file_.resize(size); }
    bool sync() override { return file_.sync(); }
    bool close() override
    {
        const bool ok = file_.close();
        return ok && !failClose;
    }
    bool isOpen() const override { return file_.isOpen(); }
    bool remove(const QString& path) override { return file_.remove(path); }

private:
    recording::SystemFileWriter file_;
};
