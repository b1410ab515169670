#include "platform/CodecModule.h"

#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <thread>

namespace platform {

namespace {

constexpr const char* FileName = "vexa-codecs.so";

// The executable's folder from the kernel, so that it works before (and without) a
// QCoreApplication, as in the engine's tests.
QString programFolder()
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

void* moduleHandle()
{
    static void* handle = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        QString path = qEnvironmentVariable("VEXA_CODEC_MODULE");
        if (path.isEmpty())
            path = codecModulePath(programFolder());
        handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            std::fprintf(stderr, "vexa-recorder: cannot load the codec module: %s\n", dlerror());
    });
    return handle;
}

} // namespace

QString codecModulePath(const QString& programFolder)
{
    const QString beside = programFolder + QLatin1Char('/') + QLatin1String(FileName);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(programFolder + QStringLiteral("/../lib/vexa-recorder/") + QLatin1String(FileName));
}

void preloadCodecModule()
{
    static std::once_flag started;
    std::call_once(started, [] { std::thread([] { moduleHandle(); }).detach(); });
}

void* codecModuleSymbol(const char* name)
{
    void* handle = moduleHandle();
    return handle ? dlsym(handle, name) : nullptr;
}

} // namespace platform
