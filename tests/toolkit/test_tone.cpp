#include "toolkit/sinetone.h"

#include <QtTest>

#include <algorithm>

class TestTone : public QObject {
    Q_OBJECT

private slots:
    void samplesAreTheAskedPitchAndLength_data();
    void samplesAreTheAskedPitchAndLength();
};

void TestTone::samplesAreTheAskedPitchAndLength_data()
{
    QTest::addColumn<int>("rate");

    QTest::newRow("48 kHz") << 48000;
    QTest::newRow("44.1 kHz") << 44100;
}

void TestTone::samplesAreTheAskedPitchAndLength()
{
    QFETCH(int, rate);

    const std::vector<float> samples = tk::SineTone::Samples(rate, 512, 75);

    QCOMPARE(qsizetype(samples.size()), qsizetype(rate * 75 / 1000));
    // 512 Hz for 75 ms crosses zero about 77 times, and starts and ends
    // silently so that it does not click.
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
    QVERIFY2(crossings >= 75 && crossings <= 78, qPrintable(QString::number(crossings)));
    QVERIFY(qAbs(samples.front()) < 0.01f && qAbs(samples.back()) < 0.01f);
    QVERIFY(*std::max_element(samples.begin(), samples.end()) > 0.4f);
}

QTEST_GUILESS_MAIN(TestTone)
#include "test_tone.moc"
