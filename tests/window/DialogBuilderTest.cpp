#include "window/DialogBuilder.h"
#include "res/DialogTemplates.h"
#include "window/ProgramIcon.h"
#include "window/SaveFileDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace bitexa;

Q_DECLARE_METATYPE(bitexa::DluRect)

class DialogBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void dialogUnitsScaleByTheFontsBaseUnits_data();
    void dialogUnitsScaleByTheFontsBaseUnits();
    void mainDialogControls_data();
    void mainDialogControls();
    void mainDialogLabels();
    void mainDialogTabOrder();
    void mainDialogWindow();
    void resizableWindows_data();
    void resizableWindows();
    void controlStyles();
    void nameFiltersFromTheFilterString_data();
    void nameFiltersFromTheFilterString();
    void saveDialogSetUp();
    void openDialogSetUp();
    void programIcon();
};

void DialogBuilderTest::dialogUnitsScaleByTheFontsBaseUnits_data() {
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<DluRect>("units");
    QTest::addColumn<QRect>("pixels");
    // A 9-point font of 6 by 12 pixels, and one of 7 by 17: halves round up.
    QTest::newRow("start button") << 6 << 12 << DluRect{33, 85, 50, 14} << QRect(50, 128, 75, 21);
    QTest::newRow("source label") << 6 << 12 << DluRect{7, 9, 22, 8} << QRect(11, 14, 33, 12);
    QTest::newRow("dialog") << 6 << 12 << DluRect{0, 0, 343, 109} << QRect(0, 0, 515, 164);
    QTest::newRow("larger font") << 7 << 17 << DluRect{33, 85, 50, 14} << QRect(58, 181, 88, 30);
    QTest::newRow("mark") << 7 << 17 << DluRect{147, 71, 16, 8} << QRect(257, 151, 28, 17);
    QTest::newRow("zero") << 7 << 17 << DluRect{0, 0, 0, 0} << QRect(0, 0, 0, 0);
}

void DialogBuilderTest::dialogUnitsScaleByTheFontsBaseUnits() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(DluRect, units);
    QFETCH(QRect, pixels);
    QCOMPARE(DluToPixels(units, DialogBaseUnits{baseX, baseY}), pixels);
}

void DialogBuilderTest::mainDialogControls_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<DluRect>("rect");
    QTest::newRow("start") << 1004 << "QPushButton"
                           << "開始(&E)" << DluRect{33, 85, 50, 14};
    QTest::newRow("source ...") << 1007 << "QPushButton"
                                << "..." << DluRect{267, 7, 11, 13};
    QTest::newRow("target ...") << 1008 << "QPushButton"
                                << "..." << DluRect{267, 26, 11, 13};
    QTest::newRow("slider") << 1012 << "QSlider"
                            << "" << DluRect{33, 43, 233, 27};
    QTest::newRow("source split") << 1013 << "QComboBox"
                                  << "" << DluRect{279, 7, 46, 14};
    QTest::newRow("target split") << 1014 << "QComboBox"
                                  << "" << DluRect{279, 26, 46, 14};
    QTest::newRow("source path") << 1015 << "QLineEdit"
                                 << "" << DluRect{33, 7, 233, 12};
    QTest::newRow("target path") << 1016 << "QLineEdit"
                                 << "" << DluRect{33, 26, 233, 12};
    QTest::newRow("save") << 1017 << "QPushButton"
                          << "保存(&S)" << DluRect{87, 85, 50, 14};
    // The choice of the model, in a row of its own below the others: nothing above it moved.
    QTest::newRow("lexical model") << 1018 << "QCheckBox"
                                   << "語彙モデルで対応付ける(&L)" << DluRect{33, 105, 233, 10};
}

void DialogBuilderTest::mainDialogControls() {
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(DluRect, rect);
    QDialog dialog;
    BuildDialog(MainDialogTemplate(), dialog);
    QWidget* control = FindControl<QWidget>(dialog, id);
    QVERIFY(control != nullptr);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), text);
    }
    QCOMPARE(control->geometry(), DluToPixels(rect, BaseUnitsOf(dialog.font())));
    QVERIFY(!control->isHidden());
}

void DialogBuilderTest::mainDialogLabels() {
    QDialog dialog;
    BuildDialog(MainDialogTemplate(), dialog);
    const DialogBaseUnits units = BaseUnitsOf(dialog.font());
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    const std::pair<QString, DluRect> expected[] = {
        {QStringLiteral("Source:"), {7, 9, 22, 8}},
        {QStringLiteral("Target:"), {7, 28, 21, 8}},
        {QStringLiteral("感度:"), {7, 53, 16, 8}},
        {QStringLiteral("↑1.0"), {147, 71, 16, 8}},
    };
    QCOMPARE(labels.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const auto& [text, rect] = expected[i];
        const QRect pixels = DluToPixels(rect, units);
        QCOMPARE(labels[i]->text(), text);
        QCOMPARE(labels[i]->pos(), pixels.topLeft());
        QCOMPARE(labels[i]->height(), pixels.height());
        // At least as wide as laid out, and wide enough for the whole text.
        QVERIFY(labels[i]->width() >= pixels.width());
        QVERIFY(labels[i]->width() >= QFontMetrics(dialog.font()).horizontalAdvance(text));
        QCOMPARE(labels[i]->focusPolicy(), Qt::NoFocus);
    }
}

void DialogBuilderTest::mainDialogTabOrder() {
    QDialog dialog;
    BuildDialog(MainDialogTemplate(), dialog);
    QWidget* start = FindControl<QWidget>(dialog, 1004);
    QStringList order;
    QWidget* w = start;
    do {
        if (w->focusPolicy() & Qt::TabFocus) {
            order.append(w->objectName());
        }
        w = w->nextInFocusChain();
    } while (w != start && order.size() < 20);
    QCOMPARE(order, (QStringList{"1004", "1007", "1008", "1012", "1013", "1014", "1015", "1016",
                                 "1017", "1018"}));
}

void DialogBuilderTest::mainDialogWindow() {
    QDialog dialog;
    BuildDialog(MainDialogTemplate(), dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Bitexa 1.0"));
    // The template's 343 x 109 and one row more for the model's check box.
    const QSize size = DluToPixels({0, 0, 343, 123}, BaseUnitsOf(dialog.font())).size();
    // No sizing border: the size is fixed.
    QCOMPARE(dialog.minimumSize(), size);
    QCOMPARE(dialog.maximumSize(), size);
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(dialog.font().families().value(0), QStringLiteral("MS UI Gothic"));
    QCOMPARE(dialog.font().pointSize(), 9);
    // Where the original font is missing, the installed Japanese UI font stands in for it.
    if (QFontDatabase::hasFamily(QStringLiteral("MS UI Gothic")) ||
        !QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK JP"))) {
        QSKIP("needs fonts-noto-cjk and no MS UI Gothic");
    }
    QCOMPARE(QFontInfo(dialog.font()).family(), QStringLiteral("Noto Sans CJK JP"));
    QVERIFY(QFontMetrics(dialog.font()).inFont(QChar(u'感')));
}

void DialogBuilderTest::resizableWindows_data() {
    QTest::addColumn<int>("templateId");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("className");
    QTest::addColumn<DluRect>("rect");
    QTest::newRow("text") << 129 << "" << 1015 << "QPlainTextEdit" << DluRect{0, 0, 316, 185};
    QTest::newRow("view") << 130 << "Alignment View" << 1016 << "QTableView"
                          << DluRect{0, 0, 315, 185};
}

void DialogBuilderTest::resizableWindows() {
    QFETCH(int, templateId);
    QFETCH(QString, title);
    QFETCH(int, control);
    QFETCH(QString, className);
    QFETCH(DluRect, rect);
    const DialogTemplate& dialogTemplate =
        templateId == TextDialogId ? TextDialogTemplate() : AlignViewTemplate();
    QCOMPARE(dialogTemplate.id, templateId);
    QDialog window;
    BuildDialog(dialogTemplate, window);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(window.font().families().value(0), QStringLiteral("MS Shell Dlg"));
    QCOMPARE(window.font().pointSize(), 8);
    const DialogBaseUnits units = BaseUnitsOf(window.font());
    QCOMPARE(window.size(), DluToPixels({0, 0, 316, 185}, units).size());
    QVERIFY(window.minimumSize() != window.maximumSize());
    QVERIFY(window.isHidden());
    QWidget* child = FindControl<QWidget>(window, control);
    QVERIFY(child != nullptr);
    QCOMPARE(QString::fromLatin1(child->metaObject()->className()), className);
    QCOMPARE(child->geometry(), DluToPixels(rect, units));
    QVERIFY(!child->acceptDrops());
}

void DialogBuilderTest::controlStyles() {
    QDialog dialog;
    BuildDialog(MainDialogTemplate(), dialog);
    auto* slider = FindControl<QSlider>(dialog, 1012);
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->tickPosition(), QSlider::TicksBothSides);
    QCOMPARE(slider->tickInterval(), 1);
    for (const int id : {1013, 1014}) {
        QVERIFY(!FindControl<QComboBox>(dialog, id)->isEditable());
    }
    for (const int id : {1015, 1016}) {
        QVERIFY(FindControl<QLineEdit>(dialog, id)->hasFrame());
        QVERIFY(FindControl<QLineEdit>(dialog, id)->acceptDrops());
    }
    for (const int id : {1004, 1007, 1008, 1017}) {
        QVERIFY(!FindControl<QPushButton>(dialog, id)->autoDefault());
    }

    QDialog text;
    BuildDialog(TextDialogTemplate(), text);
    auto* edit = FindControl<QPlainTextEdit>(text, 1015);
    QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!edit->isReadOnly());

    QDialog view;
    BuildDialog(AlignViewTemplate(), view);
    auto* list = FindControl<QTableView>(view, 1016);
    QVERIFY(list->horizontalHeader()->isVisibleTo(&view));
    QVERIFY(!list->verticalHeader()->isVisibleTo(&view));
    QVERIFY(!list->horizontalHeader()->sectionsClickable());
}

void DialogBuilderTest::nameFiltersFromTheFilterString_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("save filter") << "テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*||"
                                 << QStringList{"テキストファイル (*.txt)",
                                                "すべてのファイル (*.*)"};
    QTest::newRow("patterns added") << "Text|*.txt;*.text||" << QStringList{"Text (*.txt *.text)"};
    QTest::newRow("no closing pair") << "A (*.a)|*.a" << QStringList{"A (*.a)"};
    QTest::newRow("pair cut short") << "A|*.a|B" << QStringList{"A (*.a)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void DialogBuilderTest::nameFiltersFromTheFilterString() {
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(NameFiltersFromFilterString(filter), nameFilters);
}

void DialogBuilderTest::saveDialogSetUp() {
    QTemporaryDir folder;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ConfigureSaveDialog(dialog, folder.path());
    QCOMPARE(QFileInfo(dialog.directory().absolutePath()), QFileInfo(folder.path()));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("txt"));
    QCOMPARE(dialog.nameFilters(), (QStringList{"テキストファイル (*.txt)", "TSV (*.tsv)",
                                                "TMX (*.tmx)", "すべてのファイル (*.*)"}));
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("テキストファイル (*.txt)"));
    // A name typed without an extension takes that of the format picked (which then decides
    // the format); all files fall back to the result file's.
    for (const auto& [filter, suffix] :
         {std::pair{"TMX (*.tmx)", "tmx"}, std::pair{"TSV (*.tsv)", "tsv"},
          std::pair{"すべてのファイル (*.*)", "txt"},
          std::pair{"テキストファイル (*.txt)", "txt"}}) {
        emit dialog.filterSelected(QString::fromUtf8(filter));
        QCOMPARE(dialog.defaultSuffix(), QString::fromUtf8(suffix));
    }
    // The question before replacing a file comes from the Save command, after the suffix.
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name != nullptr);
    QCOMPARE(name->text(), QStringLiteral("*.txt"));
}

void DialogBuilderTest::openDialogSetUp() {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("source.txt"));
    QFile(file).open(QIODevice::WriteOnly);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ConfigureOpenDialog(dialog, file);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("テキストファイル (*.txt)"));
    QCOMPARE(QFileInfo(dialog.directory().absolutePath()), QFileInfo(folder.path()));
    QCOMPARE(dialog.selectedFiles(), QStringList{file});

    // A path that names no file yet starts in its folder.
    QFileDialog other;
    other.setOption(QFileDialog::DontUseNativeDialog);
    ConfigureOpenDialog(other, folder.filePath(QStringLiteral("not-yet.txt")));
    QCOMPARE(QFileInfo(other.directory().absolutePath()), QFileInfo(folder.path()));
}

void DialogBuilderTest::programIcon() {
    const QIcon icon = ProgramIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 32, 48, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
}

QTEST_MAIN(DialogBuilderTest)
#include "DialogBuilderTest.moc"
