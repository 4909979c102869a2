#include "toolkit/sinetone.h"

#include <QtTest>

#include <cstring>

class TestTone : public QObject {
    Q_OBJECT

private slots:
    void samplesAreTheAskedPitchAndLength_data();
    void samplesAreTheAskedPitchAndLength();
};

void TestTone::samplesAreTheAskedPitchAndLength_data()
{
    QTest::addColumn<int>("sampleFormat");
    QTest::addColumn<int>("rate");

    QTest::newRow("16-bit at 48 kHz") << int(QAudioFormat::Int16) << 48000;
    QTest::newRow("float at 44.1 kHz") << int(QAudioFormat::Float) << 44100;
}

void TestTone::samplesAreTheAskedPitchAndLength()
{
    QFETCH(int, sampleFormat);
    QFETCH(int, rate);

    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::SampleFormat(sampleFormat));
    format.setSampleRate(rate);
    format.setChannelCount(1);
    const QByteArray bytes = tk::SineTone::Samples(format, 512, 75);

    const int count = rate * 75 / 1000;
    QCOMPARE(bytes.size(), count * format.bytesPerSample());
    QList<double> samples;
    for (int i = 0; i < count; ++i) {
        if (format.sampleFormat() == QAudioFormat::Float) {
            float value;
            std::memcpy(&value, bytes.constData() + i * 4, 4);
            samples << value;
        } else {
            qint16 value;
            std::memcpy(&value, bytes.constData() + i * 2, 2);
            samples << value / 32767.0;
        }
    }
    // 512 Hz for 75 ms crosses zero about 77 times, and starts and ends
    // silently so that it does not click.
    int crossings = 0;
    for (int i = 1; i < count; ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
    QVERIFY2(crossings >= 75 && crossings <= 78, qPrintable(QString::number(crossings)));
    QVERIFY(qAbs(samples.first()) < 0.01 && qAbs(samples.last()) < 0.01);
    QVERIFY(*std::max_element(samples.begin(), samples.end()) > 0.4);
}

QTEST_GUILESS_MAIN(TestTone)
#include "test_tone.moc"
