// What the result report tests share: a program directory of their own, a known scenario, and
// graph windows that "save" small files.
#pragma once

#include "core/text_codec.h"
#include "engine/report/graph_bitmaps.h"
#include "scenario/tel_number.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <cstring>
#include <map>

namespace zev7::test {

inline QString u(const char* text) {
    return QString::fromUtf8(text);
}

inline QString readCp1251(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? fromCp1251(f.readAll()) : QStringLiteral("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

inline TelNumber number(const char* slashed) {
    TelNumber n;
    std::memset(&n, 0, sizeof n);
    const QStringList parts = u(slashed).split(QLatin1Char('/'));
    for (int i = 0; i < kNumberFieldCount; ++i) {
        setNumberField(n, i, parts.value(i, QStringLiteral("-")));
    }
    rebuildNumberText(n);
    return n;
}

inline ScenarHeader knownHeader() {
    ScenarHeader h;
    std::memset(&h, 0, sizeof h);
    h.outNumber = number("-/-/(495)/-/P123/P4567/-");
    return h;
}

inline CycleRecord knownCycle() {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.inNumber = number("-/-/(812)/-/T555/T1234/-");
    c.minAttempts = 5;
    c.maxAttempts = 10;
    c.normAtMin = 1;
    c.normAtMax = 2.5;
    c.dialToneThreshold = -43.5;
    c.ringbackCheck = 1;
    c.ringbackThreshold = -40;
    c.answerThreshold = -35.25;
    c.answerMinTime = 0.5;
    c.answerMaxTime = 3;
    c.attenuationCheck = 0;
    c.aaNominalLevel = -10;
    c.aaFrequency = 2100;
    c.aaRings = 1;
    c.aaDelayOn = 1.5;
    c.aaDelayOff = 2;
    c.pause = 5;
    c.waitTime = 30;
    c.ringbackTime = 1.2;
    c.busyPeriodMin = 0.3;
    c.busyPeriodMax = 0.6;
    c.overloadPeriodMin = 0.25;
    c.overloadPeriodMax = 0.3;
    c.attenuationSignalTime = 2;
    return c;
}

// Graph windows per port; each save writes a few bytes to the path, unless told to fail.
class FakeGraphs : public GraphBitmapSource {
public:
    std::map<int, QList<GraphWindowInfo>> open;
    bool failSaves = false;
    QStringList savedPaths;

    QList<GraphWindowInfo> openGraphWindows(int port) override { return open[port]; }
    bool saveGraphBitmap(int port, int kind, const QString& path) override {
        if (failSaves) {
            return false;
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            return false;
        }
        f.write(QStringLiteral("BM port %1 kind %2").arg(port).arg(kind).toLatin1());
        savedPaths << path;
        return true;
    }
};

// Batch mode: messages are logged, and the run is ended with the failure code.
class BatchMessages : public RecordingMessages {
public:
    bool batchMode() const override { return true; }
    void abortBatch(int code) override { abortCode = code; }
    int abortCode = 0;
};

// A program directory of the test's own with its "Result" folder.
class ReportHome : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(QDir(home_.path()).mkpath(QStringLiteral("Result")));
    }

    QString result(const QString& name) const { return home_.path() + "/Result/" + name; }

    TempHome home_;
};

}  // namespace zev7::test
