#include "formlookup.h"
#include "messagebox.h"
#include "testutils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// Windows of the program are looked up by their class names.
class TfrmTakePicture : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class TfrmPatient : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

enum class Box
{
    Info,
    Error,
    ConfirmInfo,
    ConfirmWarning,
    ConfirmQuestion,
    Message
};
Q_DECLARE_METATYPE(Box)

namespace {

const QString kAppTitle = QStringLiteral("Dental Practice");
// Markup, a placeholder and a mnemonic: none of them may be interpreted or translated.
const QString kText = QStringLiteral("Saved 50% & <b>%1</b>\n确定要删除吗?");

// Raises one box; the Show... helpers have no answer and give false.
bool raise(Box box, const QString& text)
{
    switch (box) {
    case Box::Info:
        ShowInfo(text);
        return false;
    case Box::Error:
        ShowError(text);
        return false;
    case Box::ConfirmInfo:
        return ConfirmInfo(text);
    case Box::ConfirmWarning:
        return ConfirmWarning(text);
    case Box::ConfirmQuestion:
        return ConfirmQuestion(text);
    case Box::Message:
        ShowMessage(text);
        return false;
    }
    return false;
}

void useLanguage(int index)
{
    setLanguageIndexSource([index] { return index; });
}

// Waits for the next real box to be shown, then hands it to act (which must close it).
void whenBoxShown(std::function<void(QMessageBox*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

template <class W> std::unique_ptr<W> openWindow()
{
    auto w = std::make_unique<W>();
    w->show();
    return w;
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // No data module in this process: nothing has installed a language source.
        QCOMPARE(messageLanguageIndex(), 0);
        QGuiApplication::setApplicationDisplayName(kAppTitle);
    }

    void cleanup() { setLanguageIndexSource({}); }

    void boxes_data()
    {
        QTest::addColumn<Box>("box");
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");

        const auto ok = QMessageBox::StandardButtons(QMessageBox::Ok);
        const auto yesNo = QMessageBox::Yes | QMessageBox::No;
        struct Row
        {
            const char* name;
            Box box;
            QMessageBox::Icon icon;
            QMessageBox::StandardButtons buttons;
            // Caption per language index 0..3; empty: no box at all.
            QString captions[4];
        };
        const Row rows[] = {
            {"ShowInfo",
             Box::Info,
             QMessageBox::Information,
             ok,
             {"", "系统提示", "Information", ""}},
            {"ShowError", Box::Error, QMessageBox::Critical, ok, {"", "发生错误", "Error", ""}},
            {"ConfirmInfo",
             Box::ConfirmInfo,
             QMessageBox::Information,
             yesNo,
             {"系统提示", "系统提示", "系统提示", "系统提示"}},
            {"ConfirmWarning",
             Box::ConfirmWarning,
             QMessageBox::Warning,
             yesNo,
             {"系统警告", "系统警告", "System warning", "系统警告"}},
            {"ConfirmQuestion",
             Box::ConfirmQuestion,
             QMessageBox::Question,
             yesNo,
             {"征询用户", "征询用户", "Question", "征询用户"}},
            {"ShowMessage",
             Box::Message,
             QMessageBox::NoIcon,
             ok,
             {kAppTitle, kAppTitle, kAppTitle, kAppTitle}},
        };
        for (const Row& r : rows) {
            for (int lang = 0; lang < 4; ++lang) {
                const QString& caption = r.captions[lang];
                QTest::addRow("%s/%d", r.name, lang)
                    << r.box << lang << !caption.isEmpty() << caption << r.icon << r.buttons;
            }
        }
    }

    void boxes()
    {
        QFETCH(Box, box);
        QFETCH(int, language);
        QFETCH(bool, shown);
        QFETCH(QString, caption);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QMessageBox::StandardButtons, buttons);

        useLanguage(language);
        AnsweringPresenter boxes;
        raise(box, kText);

        if (!shown) {
            QVERIFY(boxes.shown.isEmpty());
            return;
        }
        QCOMPARE(boxes.shown.size(), 1);
        const MessageRequest& r = boxes.shown.first();
        QCOMPARE(r.caption, caption);
        QCOMPARE(r.text, kText);
        QCOMPARE(r.icon, icon);
        QCOMPARE(r.buttons, buttons);
    }

    void confirmations_data()
    {
        QTest::addColumn<Box>("box");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("result");

        const std::pair<const char*, Box> kinds[] = {{"ConfirmInfo", Box::ConfirmInfo},
                                                     {"ConfirmWarning", Box::ConfirmWarning},
                                                     {"ConfirmQuestion", Box::ConfirmQuestion}};
        const std::pair<const char*, QMessageBox::StandardButton> answers[] = {
            {"Yes", QMessageBox::Yes},           {"No", QMessageBox::No},
            {"Cancel", QMessageBox::Cancel},     {"Ok", QMessageBox::Ok},
            {"YesToAll", QMessageBox::YesToAll}, {"NoButton", QMessageBox::NoButton}};
        for (const auto& [kindName, kind] : kinds) {
            for (const auto& [answerName, answer] : answers)
                QTest::addRow("%s/%s", kindName, answerName)
                    << kind << answer << (answer == QMessageBox::Yes);
        }
    }

    void confirmations()
    {
        QFETCH(Box, box);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, result);

        useLanguage(2);
        AnsweringPresenter boxes;
        boxes.answers = {answer};
        QCOMPARE(raise(box, kText), result);
        QCOMPARE(boxes.shown.size(), 1);
    }

    void languageSourceCanBeRemoved()
    {
        useLanguage(2);
        QCOMPARE(messageLanguageIndex(), 2);
        setLanguageIndexSource({});
        QCOMPARE(messageLanguageIndex(), 0);
        AnsweringPresenter boxes;
        ShowInfo(kText);
        QVERIFY(boxes.shown.isEmpty());
    }

    // The presenter that shows real boxes: what the user sees and what a key press answers.
    void realBoxes_data()
    {
        QTest::addColumn<Box>("box");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("key"); // 0: click the button below
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<bool>("result");

        QTest::newRow("ConfirmWarning, Yes clicked")
            << Box::ConfirmWarning << 2 << 0 << QMessageBox::Yes << "System warning"
            << QMessageBox::Warning << true;
        QTest::newRow("ConfirmQuestion, No clicked")
            << Box::ConfirmQuestion << 1 << 0 << QMessageBox::No << "征询用户"
            << QMessageBox::Question << false;
        // No is the default button: Enter must not confirm.
        QTest::newRow("ConfirmInfo, Enter")
            << Box::ConfirmInfo << 2 << int(Qt::Key_Return) << QMessageBox::NoButton << "系统提示"
            << QMessageBox::Information << false;
        QTest::newRow("ConfirmWarning, Escape")
            << Box::ConfirmWarning << 1 << int(Qt::Key_Escape) << QMessageBox::NoButton
            << "系统警告" << QMessageBox::Warning << false;
        QTest::newRow("ShowError, OK clicked")
            << Box::Error << 2 << 0 << QMessageBox::Ok << "Error" << QMessageBox::Critical << false;
        QTest::newRow("ShowMessage, Enter")
            << Box::Message << 0 << int(Qt::Key_Return) << QMessageBox::NoButton << kAppTitle
            << QMessageBox::NoIcon << false;
    }

    void realBoxes()
    {
        QFETCH(Box, box);
        QFETCH(int, language);
        QFETCH(int, key);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(QString, caption);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(bool, result);

        useLanguage(language);
        setMessagePresenter(nullptr);
        QString seenTitle;
        QString seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        bool answered = false;
        whenBoxShown([&](QMessageBox* m) {
            seenTitle = m->windowTitle();
            seenText = m->text();
            seenIcon = m->icon();
            answered = true;
            if (key)
                QTest::keyClick(m, Qt::Key(key));
            else if (QAbstractButton* b = m->button(click))
                b->click();
            else
                m->done(QMessageBox::Cancel); // a missing button: fail below, do not hang
        });
        const bool got = raise(box, kText);
        QVERIFY(answered);
        QCOMPARE(got, result);
        QCOMPARE(seenTitle, caption);
        QCOMPARE(seenText, kText);
        QCOMPARE(seenIcon, icon);
    }

    void findsWindowIgnoringCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("as declared") << "TfrmTakePicture";
        QTest::newRow("lower case") << "tfrmtakepicture";
        QTest::newRow("upper case") << "TFRMTAKEPICTURE";
    }

    void findsWindowIgnoringCase()
    {
        QFETCH(QString, name);
        const auto patient = openWindow<TfrmPatient>();
        const auto picture = openWindow<TfrmTakePicture>();
        QCOMPARE(FindFormByClassName(name), picture.get());
        QCOMPARE(FindFormByClassName("tfrmpatient"), patient.get());
    }

    void findsFirstCreatedOfOneClass()
    {
        const auto first = openWindow<TfrmTakePicture>();
        const auto second = openWindow<TfrmTakePicture>();
        QCOMPARE(FindFormByClassName("tfrmtakepicture"), first.get());
        // Activating the later one does not change which is first.
        second->activateWindow();
        QCOMPARE(FindFormByClassName("tfrmtakepicture"), first.get());
    }

    void findsLaterWindowOnceFirstIsClosed()
    {
        auto first = openWindow<TfrmTakePicture>();
        const auto second = openWindow<TfrmTakePicture>();
        first.reset();
        QCOMPARE(FindFormByClassName("tfrmtakepicture"), second.get());
    }

    void findsWindowInsideMdiArea()
    {
        QMainWindow main;
        auto* area = new QMdiArea;
        main.setCentralWidget(area);
        main.show();
        auto* child = new TfrmPatient;
        area->addSubWindow(child)->show();

        QWidget* found = FindFormByClassName("tfrmpatient");
        QCOMPARE(found, child);
        QVERIFY(!qobject_cast<QMdiSubWindow*>(found));
        QCOMPARE(FindFormByClassName("qmainwindow"), &main);
    }

    void noWindowGivesNull_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("class with no window") << "TfrmTakePicture";
        QTest::newRow("unknown class") << "TfrmMissing";
        QTest::newRow("empty") << "";
        // A widget inside a window is not a window of its own.
        QTest::newRow("child widget class") << "QPushButton";
    }

    void noWindowGivesNull()
    {
        QFETCH(QString, name);
        const auto patient = openWindow<TfrmPatient>();
        new QPushButton("OK", patient.get());
        QCOMPARE(FindFormByClassName(name), nullptr);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
