#include "window/TextDialog.h"
#include "window/DialogBuilder.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QtTest>

using namespace bitexa;

namespace {

// The borders that the platform draws around a window's client area.
QMargins FrameBorders(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

} // namespace

class TextDialogTest : public QObject {
    Q_OBJECT

private slots:
    void startsHiddenAndEmpty();
    void textComesBackUnchanged_data();
    void textComesBackUnchanged();
    void enterBreaksTheLine();
    void closingOnlyHides_data();
    void closingOnlyHides();
    void resizingFollowsTheFrame();
    void holdsLongTexts();
};

void TextDialogTest::startsHiddenAndEmpty() {
    CTextDialog window(nullptr);
    QVERIFY(window.isHidden());
    QCOMPARE(window.windowTitle(), QString());
    QCOMPARE(window.Edit()->objectName(), QStringLiteral("1015"));
    QCOMPARE(window.Text(), QString());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The first showing keeps the template's layout.
    QCOMPARE(window.Edit()->geometry(), DluToPixels({0, 0, 316, 185}, BaseUnitsOf(window.font())));
}

void TextDialogTest::textComesBackUnchanged_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("back");
    QTest::newRow("segments") << "One.\r\nTwo.\r\n"
                              << "One.\nTwo.\n";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no final break") << "a\r\nb"
                                    << "a\nb";
    QTest::newRow("lone CR and LF") << "a\rb\nc"
                                    << "a\nb\nc";
    QTest::newRow("empty lines") << "\r\n\r\nx\r\n"
                                 << "\n\nx\n";
    QTest::newRow("no-break space")
        << QStringLiteral("a\u00A0b\r\n") << QStringLiteral("a\u00A0b\n");
    QTest::newRow("tab") << "a\tb\r\n"
                         << "a\tb\n";
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\u2028b");
    QTest::newRow("pair") << QString::fromUcs4(U"\U00020BB7\r\n")
                          << QString::fromUcs4(U"\U00020BB7\n");
    QTest::newRow("japanese") << QStringLiteral("　灯台は立っている。\r\n")
                              << QStringLiteral("　灯台は立っている。\n");
}

void TextDialogTest::textComesBackUnchanged() {
    QFETCH(QString, text);
    QFETCH(QString, back);
    CTextDialog window(nullptr);
    window.SetText(text);
    QCOMPARE(window.Text(), back);
}

void TextDialogTest::enterBreaksTheLine() {
    CTextDialog window(nullptr);
    window.SetText(QStringLiteral("ab"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTextCursor cursor = window.Edit()->textCursor();
    cursor.setPosition(1);
    window.Edit()->setTextCursor(cursor);
    QTest::keyClick(window.Edit(), Qt::Key_Return);
    QTest::keyClick(window.Edit(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(window.Text(), QStringLiteral("a\n\nb"));
    QVERIFY(window.isVisible());
}

void TextDialogTest::closingOnlyHides_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("close box") << false;
    QTest::newRow("Escape") << true;
}

void TextDialogTest::closingOnlyHides() {
    QFETCH(bool, escape);
    QWidget owner;
    QPointer<CTextDialog> window = new CTextDialog(&owner);
    window->SetText(QStringLiteral("kept\r\n"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (escape) {
        QTest::keyClick(window->Edit(), Qt::Key_Escape);
    } else {
        QVERIFY(window->close());
    }
    QVERIFY(window);
    QVERIFY(window->isHidden());
    QCOMPARE(window->Text(), QStringLiteral("kept\n"));
}

void TextDialogTest::resizingFollowsTheFrame() {
    CTextDialog window(nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QSize size : {QSize(700, 400), QSize(250, 120)}) {
        window.resize(size);
        QTRY_COMPARE(window.size(), size);
        // Measured on the outer frame, whatever borders the platform draws.
        const QMargins border = FrameBorders(window);
        QCOMPARE(window.Edit()->geometry(), QRect(0, 0, size.width() + border.right() - 4,
                                                  size.height() + border.bottom() - 4));
    }
}

void TextDialogTest::holdsLongTexts() {
    // Far beyond the 30000 characters an edit control takes by default.
    QString text;
    for (int i = 0; i < 5000; ++i) {
        text += QStringLiteral("Segment number %1 of a long side.\r\n").arg(i);
    }
    text += QString(100000, u'x');
    CTextDialog window(nullptr);
    window.SetText(text);
    QString expected = text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(window.Text(), expected);
}

QTEST_MAIN(TextDialogTest)
#include "TextDialogTest.moc"
