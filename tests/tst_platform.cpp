#include "platform/apppaths.h"
#include "platform/sourceselection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void listPicturesFiltersAndSorts();
    void parsePictureTypes_data();
    void parsePictureTypes();
    void selectionByName();
    void trailingSlash();
};

static void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestPlatform::listPicturesFiltersAndSorts()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList files = {"b.JPG",       "a.jpeg",    "B.jpg", "c.png", "d.BMP",
                               ".hidden.jpg", "notes.txt", "jpg",   "e.gif"};
    for (const QString &name : files)
        touch(dir.filePath(name));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));

    const int all = int(Pw::PictureType::Jpg) | int(Pw::PictureType::Png)
                    | int(Pw::PictureType::Bmp);
    // Case-insensitive order; "B.jpg" and "b.JPG" tie and are ordered by exact name.
    QCOMPARE(Pw::ListPictures(dir.path(), all),
             QStringList({"a.jpeg", "B.jpg", "b.JPG", "c.png", "d.BMP"}));
    QCOMPARE(Pw::ListPictures(dir.path() + u'/', int(Pw::PictureType::Png)),
             QStringList({"c.png"}));
    QCOMPARE(Pw::ListPictures(dir.path(), 0), QStringList());
    QCOMPARE(Pw::ListPictures(dir.path() + QStringLiteral("/missing"), all), QStringList());
}

void TestPlatform::parsePictureTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mask");
    QTest::newRow("all") << "jpg,png,bmp" << 7;
    QTest::newRow("upper case and jpeg") << "JPEG,Bmp" << 5;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("unknown word") << "jpg,gif" << 0;
}

void TestPlatform::parsePictureTypes()
{
    QFETCH(QString, text);
    QFETCH(int, mask);
    QCOMPARE(Pw::ParsePictureTypes(text), mask);
}

void TestPlatform::selectionByName()
{
    Pw::SourceSelection selection;
    selection.folder = QStringLiteral("/pictures/");
    selection.names = QStringList({"a.jpg", "b.jpg", "c.jpg"});
    QCOMPARE(selection.select({}), QStringList());
    QCOMPARE(selection.selectedCount(), 3);
    QCOMPARE(selection.select({"c.jpg", "x.jpg"}), QStringList({"x.jpg"}));
    QCOMPARE(selection.selected, QList<bool>({false, false, true}));
    QCOMPARE(selection.pathOf(2), QStringLiteral("/pictures/c.jpg"));
}

void TestPlatform::trailingSlash()
{
    QCOMPARE(Pw::WithTrailingSlash(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
    QCOMPARE(Pw::WithTrailingSlash(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    QCOMPARE(Pw::WithTrailingSlash(QString()), QString());
    Pw::SetAppFolder(QStringLiteral("/opt/pixwright"));
    QCOMPARE(Pw::DemoFolder(), QStringLiteral("/opt/pixwright/演示/"));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
