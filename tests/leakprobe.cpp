// Leaks one 400-byte block from a test slot on purpose. Built only with PW_SANITIZE; the test
// lsan_catches_leak passes only when LeakSanitizer, with scripts/lsan.supp in force, reports
// the block with this slot on its stack: suppressions wide enough to hide a leak of our own in
// a test (a pattern matching every stack through Qt, say) make it fail.

#include <QTest>

#include <cstring>

class TestLeakProbe : public QObject
{
    Q_OBJECT

private slots:
    void leaksABlock();
};

void TestLeakProbe::leaksABlock()
{
    // Written through a volatile pointer that is then dropped, so the compiler keeps the block.
    char *volatile block = new char[400];
    std::memset(block, 0x5A, 400);
    QCOMPARE(block[399], char(0x5A));
    block = nullptr;
}

QTEST_GUILESS_MAIN(TestLeakProbe)
#include "leakprobe.moc"
