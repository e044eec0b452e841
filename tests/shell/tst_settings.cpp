// The settings file: which values are read and how, what is written back, and
// that nothing the program does not know is lost on the way.
#include "mainwindow.h"
#include "testsupport.h"
#include "windowfixture.h"

#include <QColorDialog>
#include <QDomDocument>
#include <QtTest>
#include <QtWidgets>

namespace {

// The seven on/off settings, in the file's order.
const char* const stateNames[] = {"actionUtilities", "actionAttack_CLSN", "actionColision_CLSN", "actionDefault_CLSN",
                                  "sprImgPal",       "sprCorTrans",       "actPalImg"};

QString wrap(const QString& elements)
{
    return "<!DOCTYPE QNDConfigML>\n<config>\n" + elements + "</config>\n";
}

QDomElement readRoot(const QString& path)
{
    QDomDocument doc;
    doc.setContent(testsupport::readFile(path));
    return doc.documentElement();
}

} // namespace

using testsupport::readFile;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { w = new MainWindow; }
    void cleanup();

    void reading_data();
    void reading();
    void writingUpdatesOnlyWhatTheFileHolds();
    void filesNotTakenAsSettingsAreNotRewritten_data();
    void filesNotTakenAsSettingsAreNotRewritten();
    void backgroundColours_data();
    void backgroundColours();
    void windowWritesSettingsWhenDestroyed();

private:
    QString write(const QString& name, const QByteArray& content)
    {
        return testsupport::writeFile(dir.filePath(name), content);
    }
    QString states(); // the settings as a string of 0 and 1
    void setStates(const QString& bits);

    MainWindow* w = nullptr;
    QTemporaryDir dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(windowfixture::installShippedConfig());
}

void TestSettings::cleanup()
{
    testsupport::clearAnswers();
    windowfixture::destroyWindow(w);
}

// Actions and check boxes alike hold their state in "checked".
QString TestSettings::states()
{
    QString s;
    for (const char* name : stateNames)
        s += w->findChild<QObject*>(name)->property("checked").toBool() ? '1' : '0';
    return s;
}

void TestSettings::setStates(const QString& bits)
{
    for (int i = 0; i < 7; ++i)
        w->findChild<QObject*>(stateNames[i])->setProperty("checked", bits[i] == '1');
}

void TestSettings::reading_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    const QString all = "<utilities visible=\"%1\"/><attack_clsn visible=\"%1\"/>"
                        "<collision_clsn visible=\"%1\"/><default_clsn visible=\"%1\"/>"
                        "<switch_image_palette checked=\"%1\"/><show_transparency_color checked=\"%1\"/>"
                        "<show_image_active_palette checked=\"%1\"/>";
    // The shipped file says what the form says: a first start looks the same with or without it.
    QTest::newRow("shipped file") << readFile(windowfixture::shippedConfig()) << "0000000" << "1111101";
    QTest::newRow("no file") << QByteArray() << "0101010" << "0101010";
    QTest::newRow("not XML") << QByteArray("<config><utilities visible=\"false\">") << "1111111" << "1111111";
    QTest::newRow("wrong root") << QByteArray("<settings><utilities visible=\"false\"/></settings>") << "1111111"
                                << "1111111";
    QTest::newRow("all false") << wrap(all.arg("false")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("all true") << wrap(all.arg("true")).toUtf8() << "0000000" << "1111111";
    QTest::newRow("capitals read as false") << wrap(all.arg("True")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("digit one reads as false") << wrap(all.arg("1")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("blank around true reads as false") << wrap(all.arg(" true")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("missing attribute reads as true")
        << wrap("<utilities/><attack_clsn hidden=\"false\"/><show_transparency_color/>").toUtf8() << "0000000"
        << "1100010";
    QTest::newRow("later element wins")
        << wrap("<utilities visible=\"false\"/><utilities visible=\"true\"/><actPalImg checked=\"false\"/>").toUtf8()
        << "0000000" << "1000000";
    QTest::newRow("tags are case-sensitive")
        << wrap("<Utilities visible=\"false\"/><ATTACK_CLSN visible=\"false\"/>").toUtf8() << "1111111" << "1111111";
    QTest::newRow("content is ignored")
        << wrap("<utilities>false</utilities><default_clsn visible=\"false\">true</default_clsn>").toUtf8()
        << "0111111" << "1110111";
    QTest::newRow("unknown elements and comments")
        << wrap("<!-- utilities visible=\"false\" --><zoom level=\"3\"/><sprCorTrans checked=\"true\"/>"
                "<show_transparency_color checked=\"true\"/>")
               .toUtf8()
        << "1111101" << "1111111";
}

void TestSettings::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, before);
    QFETCH(QString, after);
    setStates(before);
    w->loadConfig(content.isEmpty() ? dir.filePath("missing.xml")
                                    : write(QString(QTest::currentDataTag()) + ".xml", content));
    QCOMPARE(states(), after);
    // Loading goes through the ordinary setters: the utilities pane follows.
    QCOMPARE(w->findChild<QWidget*>("utilTabs")->isVisibleTo(w), after[0] == '1');
}

void TestSettings::writingUpdatesOnlyWhatTheFileHolds()
{
    const QString path = write("partial.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                              "<!DOCTYPE QNDConfigML>\n"
                                              "<config version=\"2\">\n"
                                              "    <!-- written by hand -->\n"
                                              "    <zoom level=\"3\"><step>2</step></zoom>\n"
                                              "    <background start=\"1,2,3\" end=\"4,5,6\" note=\"mine\"/>\n"
                                              "    <utilities visible=\"true\"/>\n"
                                              "    <attack_clsn/>\n"
                                              "    <default_clsn visible=\"true\" colour=\"red\"/>\n"
                                              "</config>\n");
    w->loadConfig(path);
    setStates("0000000");
    w->saveConfig(path);

    const QString text = QString::fromUtf8(readFile(path));
    QVERIFY(text.startsWith("<?xml"));
    QVERIFY(text.contains("<!DOCTYPE QNDConfigML>"));
    QVERIFY(text.contains("<!-- written by hand -->"));
    QVERIFY(text.contains("\n    <zoom level=\"3\">\n        <step>2</step>\n    </zoom>\n")); // 4 blanks a level
    const QDomElement root = readRoot(path);
    QCOMPARE(root.attribute("version"), QString("2"));
    QCOMPARE(root.firstChildElement("utilities").attribute("visible"), QString("false"));
    QCOMPARE(root.firstChildElement("default_clsn").attribute("visible"), QString("false"));
    QCOMPARE(root.firstChildElement("default_clsn").attribute("colour"), QString("red"));
    // Saving leaves the colours alone.
    const QDomElement bg = root.firstChildElement("background");
    QCOMPARE(QStringList({bg.attribute("start"), bg.attribute("end"), bg.attribute("note")}),
             QStringList({"1,2,3", "4,5,6", "mine"}));
    // Present without its attribute: nothing is stored, and nothing new appears.
    QVERIFY(!root.firstChildElement("attack_clsn").hasAttribute("visible"));
    QVERIFY(root.firstChildElement("collision_clsn").isNull());
    QCOMPARE(root.childNodes().count(), 6);

    // The written file reads back to the same states, where it can hold them.
    setStates("1111111");
    w->loadConfig(path);
    QCOMPARE(states(), QString("0110111"));
}

void TestSettings::filesNotTakenAsSettingsAreNotRewritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("written"); // the document is written back as it was read
    // A file with a typo is not replaced by an empty document: the user can still mend it.
    QTest::newRow("not XML") << QByteArray("<!DOCTYPE QNDConfigML>\n<config>\n<utilities visible=\"false\">\n")
                             << false;
    QTest::newRow("wrong root") << QByteArray("<settings><utilities visible=\"false\"/></settings>") << true;
}

void TestSettings::filesNotTakenAsSettingsAreNotRewritten()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, written);
    const QString path = write("bad.xml", content);
    const QString elsewhere = dir.filePath(QString(QTest::currentDataTag()) + "-elsewhere.xml");
    w->loadConfig(path);
    setStates("1111111");
    w->saveConfig(path);
    w->saveConfig(elsewhere);
    QCOMPARE(readRoot(path).firstChildElement("utilities").attribute("visible"), QString("false"));
    if (!written)
        QCOMPARE(readFile(path), content);
    QCOMPARE(QFile::exists(elsewhere), written);
}

void TestSettings::backgroundColours_data()
{
    QTest::addColumn<QString>("element"); // the background element in the file
    QTest::addColumn<int>("accepted");    // colour dialogs accepted before one is cancelled
    QTest::addColumn<QString>("stored");  // start and end attributes after saving
    const QString both = "<background start=\"200,200,200\" end=\"128,128,128\"/>";
    QTest::newRow("both chosen") << both << 2 << "10,20,30 40,50,60";
    QTest::newRow("top cancelled") << both << 0 << "200,200,200 128,128,128";
    QTest::newRow("bottom cancelled") << both << 1 << "200,200,200 128,128,128";
    QTest::newRow("only start stored") << "<background start=\"1,1,1\"/>" << 2 << "10,20,30 ";
    QTest::newRow("no element") << "" << 2 << " ";
}

void TestSettings::backgroundColours()
{
    QFETCH(QString, element);
    QFETCH(int, accepted);
    QFETCH(QString, stored);
    const QString path = write("bg.xml", wrap(element).toUtf8());
    w->loadConfig(path);

    // Each dialog opens on its preset (light grey, then grey) and is answered with a colour.
    const QColor presets[] = {QColor(192, 192, 192), QColor(160, 160, 164)};
    const QColor chosen[] = {QColor(10, 20, 30), QColor(40, 50, 60)};
    for (int i = 0; i <= qMin(accepted, 1); ++i)
        testsupport::answerDialog(i < accepted, [&, i](QWidget* dlg) {
            auto* cd = qobject_cast<QColorDialog*>(dlg);
            QVERIFY(cd);
            QCOMPARE(cd->currentColor(), presets[i]);
            cd->setCurrentColor(chosen[i]);
        });
    w->findChild<QAction*>("actionBackground_color")->trigger();
    QCOMPARE(testsupport::pendingAnswers(), 0);
    QCOMPARE(testsupport::takeDialogsSeen().size(), qMin(accepted, 1) + 1);

    w->saveConfig(path);
    const QDomElement bg = readRoot(path).firstChildElement("background");
    QCOMPARE(bg.attribute("start") + ' ' + bg.attribute("end"), stored);
}

void TestSettings::windowWritesSettingsWhenDestroyed()
{
    // The real file beside the executable: change a setting, destroy the
    // window, and the next window starts with it; then put it back.
    for (bool on : {true, false}) {
        w->findChild<QAbstractButton*>("sprCorTrans")->setChecked(on);
        delete w;
        w = new MainWindow;
        QCOMPARE(states(), on ? QString("1111111") : QString("1111101"));
    }
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
