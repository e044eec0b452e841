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

const char* const stateNames[] = {"actionUtilities", "actionAttack_CLSN", "actionColision_CLSN",
                                  "actionDefault_CLSN", "sprImgPal",       "sprCorTrans",
                                  "actPalImg"};

QString wrap(const QString& elements)
{
    return "<!DOCTYPE QNDConfigML>\n<config>\n" + elements + "</config>\n";
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shippedFileMatchesTheForm();
    void reading_data();
    void reading();
    void readingAppliesToggles();
    void writingUpdatesOnlyExistingAttributes();
    void writingKeepsWhatItDoesNotKnow();
    void unreadableFileIsLeftAlone();
    void wrongRootIsKeptAndWrittenBack();
    void backgroundColours_data();
    void backgroundColours();
    void windowWritesSettingsWhenDestroyed();

private:
    QString write(const QString& name, const QByteArray& content);
    QString states();
    void setStates(const QString& bits);
    QDomDocument readDoc(const QString& path);

    MainWindow* w = nullptr;
    QTemporaryDir dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(windowfixture::installShippedConfig());
}

void TestSettings::init()
{
    w = new MainWindow;
    testsupport::takeDialogsSeen();
}

void TestSettings::cleanup()
{
    testsupport::clearAnswers();
    windowfixture::destroyWindow(w);
}

QString TestSettings::write(const QString& name, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(content);
    return path;
}

// The seven on/off settings as a string of 0 and 1, in the file's order.
QString TestSettings::states()
{
    QString s;
    for (const char* name : stateNames) {
        if (auto* a = w->findChild<QAction*>(name))
            s += a->isChecked() ? '1' : '0';
        else
            s += w->findChild<QAbstractButton*>(name)->isChecked() ? '1' : '0';
    }
    return s;
}

void TestSettings::setStates(const QString& bits)
{
    for (int i = 0; i < 7; ++i) {
        const bool on = bits[i] == '1';
        if (auto* a = w->findChild<QAction*>(stateNames[i]))
            a->setChecked(on);
        else
            w->findChild<QAbstractButton*>(stateNames[i])->setChecked(on);
    }
}

QDomDocument TestSettings::readDoc(const QString& path)
{
    QDomDocument doc;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        doc.setContent(&f);
    return doc;
}

void TestSettings::shippedFileMatchesTheForm()
{
    // The shipped file says what the form says, so a first start looks the same
    // with or without it.
    QCOMPARE(states(), QString("1111101"));
    QVERIFY(w->findChild<QTabWidget*>("utilTabs")->isVisibleTo(w));
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
    QTest::newRow("no file") << QByteArray() << "0101010" << "0101010";
    QTest::newRow("not XML") << QByteArray("<config><utilities visible=\"false\">") << "1111111" << "1111111";
    QTest::newRow("wrong root") << wrap("").replace("config>", "settings>").toUtf8()
                                          .replace("<settings>", "<settings><utilities visible=\"false\"/>")
                                << "1111111" << "1111111";
    QTest::newRow("all false") << wrap(all.arg("false")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("all true") << wrap(all.arg("true")).toUtf8() << "0000000" << "1111111";
    QTest::newRow("capitals read as false") << wrap(all.arg("True")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("digit one reads as false") << wrap(all.arg("1")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("blank around true reads as false") << wrap(all.arg(" true")).toUtf8() << "1111111" << "0000000";
    QTest::newRow("missing attribute reads as true")
        << wrap("<utilities/><attack_clsn hidden=\"false\"/><show_transparency_color/>").toUtf8() << "0000000"
        << "1100010";
    QTest::newRow("later element wins")
        << wrap("<utilities visible=\"false\"/><utilities visible=\"true\"/>"
                "<actPalImg checked=\"false\"/>")
               .toUtf8()
        << "0000000" << "1000000";
    QTest::newRow("tags are case-sensitive")
        << wrap("<Utilities visible=\"false\"/><ATTACK_CLSN visible=\"false\"/>").toUtf8() << "1111111"
        << "1111111";
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
    const QString path = content.isEmpty() ? dir.filePath("missing.xml")
                                           : write(QString(QTest::currentDataTag()) + ".xml", content);
    w->loadConfig(path);
    QCOMPARE(states(), after);
}

void TestSettings::readingAppliesToggles()
{
    // Loading goes through the ordinary setters: the utilities pane follows.
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto* pane = w->findChild<QTabWidget*>("utilTabs");
    w->loadConfig(write("hide.xml", wrap("<utilities visible=\"false\"/>").toUtf8()));
    QVERIFY(!pane->isVisible());
    w->loadConfig(write("show.xml", wrap("<utilities visible=\"true\"/>").toUtf8()));
    QVERIFY(pane->isVisible());
}

void TestSettings::writingUpdatesOnlyExistingAttributes()
{
    const QString path = write("partial.xml", wrap("<utilities visible=\"true\"/>"
                                                   "<attack_clsn/>"
                                                   "<show_image_active_palette checked=\"true\"/>")
                                                  .toUtf8());
    w->loadConfig(path);
    QCOMPARE(states(), QString("1111101"));
    setStates("0000000");
    w->saveConfig(path);

    const QDomDocument doc = readDoc(path);
    const QDomElement root = doc.documentElement();
    QCOMPARE(root.tagName(), QString("config"));
    QCOMPARE(doc.doctype().name(), QString("QNDConfigML"));
    QCOMPARE(root.firstChildElement("utilities").attribute("visible"), QString("false"));
    QCOMPARE(root.firstChildElement("show_image_active_palette").attribute("checked"), QString("false"));
    // Present without its attribute: nothing is stored, and nothing new appears.
    QVERIFY(!root.firstChildElement("attack_clsn").hasAttribute("visible"));
    QVERIFY(root.firstChildElement("collision_clsn").isNull());
    QCOMPARE(root.childNodes().count(), 3);

    // The written file reads back to the same states, where it can hold them.
    setStates("1111111");
    w->loadConfig(path);
    QCOMPARE(states(), QString("0111110"));
}

void TestSettings::writingKeepsWhatItDoesNotKnow()
{
    const QByteArray content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE QNDConfigML>\n"
                               "<config version=\"2\">\n"
                               "    <!-- written by hand -->\n"
                               "    <zoom level=\"3\"><step>2</step></zoom>\n"
                               "    <background start=\"1,2,3\" end=\"4,5,6\" note=\"mine\"/>\n"
                               "    <default_clsn visible=\"true\" colour=\"red\"/>\n"
                               "</config>\n";
    const QString path = write("extra.xml", content);
    w->loadConfig(path);
    w->findChild<QAction*>("actionDefault_CLSN")->setChecked(false);
    w->saveConfig(path);

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY(text.contains("<!-- written by hand -->"));
    QVERIFY(text.contains("\n    <zoom level=\"3\">\n        <step>2</step>\n    </zoom>\n")); // 4 blanks a level

    const QDomElement root = readDoc(path).documentElement();
    QCOMPARE(root.attribute("version"), QString("2"));
    const QDomElement bg = root.firstChildElement("background");
    QCOMPARE(bg.attribute("start"), QString("1,2,3")); // saving leaves the colours alone
    QCOMPARE(bg.attribute("end"), QString("4,5,6"));
    QCOMPARE(bg.attribute("note"), QString("mine"));
    const QDomElement def = root.firstChildElement("default_clsn");
    QCOMPARE(def.attribute("visible"), QString("false"));
    QCOMPARE(def.attribute("colour"), QString("red"));
}

void TestSettings::unreadableFileIsLeftAlone()
{
    // A settings file with a typo is not replaced by an empty document: the
    // user can still mend it.
    const QByteArray broken = "<!DOCTYPE QNDConfigML>\n<config>\n<utilities visible=\"false\">\n";
    const QString path = write("broken.xml", broken);
    w->loadConfig(path);
    QCOMPARE(states(), QString("1111101"));
    w->saveConfig(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), broken);
    w->saveConfig(dir.filePath("elsewhere.xml"));
    QVERIFY(!QFile::exists(dir.filePath("elsewhere.xml")));
}

void TestSettings::wrongRootIsKeptAndWrittenBack()
{
    const QString path = write("root.xml", "<settings><utilities visible=\"false\"/></settings>");
    w->loadConfig(path);
    QCOMPARE(states(), QString("1111101"));
    w->findChild<QAction*>("actionUtilities")->setChecked(false);
    w->saveConfig(path);
    const QDomElement root = readDoc(path).documentElement();
    QCOMPARE(root.tagName(), QString("settings"));
    // Not taken as settings, so not updated either.
    QCOMPARE(root.firstChildElement("utilities").attribute("visible"), QString("false"));
    w->findChild<QAction*>("actionUtilities")->setChecked(true);
    w->saveConfig(path);
    QCOMPARE(readDoc(path).documentElement().firstChildElement("utilities").attribute("visible"),
             QString("false"));
}

void TestSettings::backgroundColours_data()
{
    QTest::addColumn<QString>("element");     // the background element in the file
    QTest::addColumn<bool>("acceptTop");
    QTest::addColumn<bool>("acceptBottom");
    QTest::addColumn<QString>("start");       // attributes after saving
    QTest::addColumn<QString>("end");
    const QString both = "<background start=\"200,200,200\" end=\"128,128,128\"/>";
    QTest::newRow("both chosen") << both << true << true << "10,20,30" << "40,50,60";
    QTest::newRow("top cancelled") << both << false << false << "200,200,200" << "128,128,128";
    QTest::newRow("bottom cancelled") << both << true << false << "200,200,200" << "128,128,128";
    QTest::newRow("only start stored") << "<background start=\"1,1,1\"/>" << true << true << "10,20,30" << "";
    QTest::newRow("no element") << "" << true << true << "" << "";
}

void TestSettings::backgroundColours()
{
    QFETCH(QString, element);
    QFETCH(bool, acceptTop);
    QFETCH(bool, acceptBottom);
    QFETCH(QString, start);
    QFETCH(QString, end);
    const QString path = write("bg.xml", wrap(element).toUtf8());
    w->loadConfig(path);

    QList<QColor> presets;
    auto pick = [&presets](const QColor& c) {
        return [&presets, c](QWidget* dlg) {
            auto* cd = qobject_cast<QColorDialog*>(dlg);
            QVERIFY(cd);
            presets << cd->currentColor();
            cd->setCurrentColor(c);
        };
    };
    testsupport::answerDialog(acceptTop, pick(QColor(10, 20, 30)));
    if (acceptTop)
        testsupport::answerDialog(acceptBottom, pick(QColor(40, 50, 60)));
    w->findChild<QAction*>("actionBackground_color")->trigger();
    QCOMPARE(testsupport::pendingAnswers(), 0);
    const auto seen = testsupport::takeDialogsSeen();
    QCOMPARE(seen.size(), acceptTop ? 2 : 1);
    QCOMPARE(presets.value(0), QColor(192, 192, 192)); // light grey, then grey
    if (acceptTop)
        QCOMPARE(presets.value(1), QColor(160, 160, 164));

    w->saveConfig(path);
    const QDomElement bg = readDoc(path).documentElement().firstChildElement("background");
    QCOMPARE(bg.attribute("start"), start);
    QCOMPARE(bg.attribute("end"), end);
}

void TestSettings::windowWritesSettingsWhenDestroyed()
{
    // The real file beside the executable: change a setting, destroy the
    // window, and the next window starts with it; then put it back.
    w->findChild<QAbstractButton*>("sprCorTrans")->setChecked(true);
    delete w;
    w = new MainWindow;
    QCOMPARE(states(), QString("1111111"));
    QCOMPARE(readDoc(windowfixture::installedConfig())
                 .documentElement()
                 .firstChildElement("show_transparency_color")
                 .attribute("checked"),
             QString("true"));
    w->findChild<QAbstractButton*>("sprCorTrans")->setChecked(false);
    delete w;
    w = new MainWindow;
    QCOMPARE(states(), QString("1111101"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
