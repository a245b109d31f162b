#include "window/AlignView.h"
#include "RowText.h"
#include "align/AnchoredAligner.h"
#include "res/DialogTemplates.h"
#include "window/CompanionPlacement.h"
#include "window/DialogBuilder.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

#include <set>

using namespace bitexa;

namespace {

using Command = CAlignView::Command;

const Joiners EnglishJapanese{L" ", L""};

QStringList DisplayColumn(const AlignTableModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.append(model.index(row, column).data().toString());
    }
    return texts;
}

QList<QColor> Backgrounds(const AlignTableModel& model, int column) {
    QList<QColor> colors;
    for (int row = 0; row < model.rowCount(); ++row) {
        colors.append(model.index(row, column).data(Qt::BackgroundRole).value<QColor>());
    }
    return colors;
}

QStringList ToolTips(const AlignTableModel& model) {
    QStringList tips;
    for (int row = 0; row < model.rowCount(); ++row) {
        tips.append(
            model.index(row, AlignTableModel::SourceColumn).data(Qt::ToolTipRole).toString());
    }
    return tips;
}

// Remembers which rows the table asks for.
class RowCounter : public QIdentityProxyModel {
public:
    mutable std::set<int> rows;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) {
            rows.insert(index.row());
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// The borders that the platform draws around a window's client area.
QMargins FrameBorders(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

const QColor White(255, 255, 255);
const QColor Tint(202, 221, 230);

// Rows of plain text, as a run with no blank lines makes them.
AlignedRows PlainRows(int count) {
    AlignedRows rows;
    for (int k = 0; k < count; ++k) {
        AlignedRow row;
        row.source = {L"source " + std::to_wstring(k)};
        row.target = {L"target " + std::to_wstring(k)};
        rows.push_back(row);
    }
    return rows;
}

// A view on screen with the rows, the focus in its table on the given cell.
struct ShownView {
    std::unique_ptr<CAlignView> view = std::make_unique<CAlignView>(nullptr);

    explicit ShownView(const QStringList& rows, Joiners joiners = EnglishJapanese) {
        view->ShowRows(ParseRows(rows), std::move(joiners), 0, 0);
        view->show();
        QApplication::setActiveWindow(view.get());
        if (!QTest::qWaitForWindowActive(view.get())) {
            qWarning("the view never became active");
        }
        view->List()->setFocus();
    }
    void GoTo(int row, int column) const {
        view->List()->setCurrentIndex(view->Model()->index(row, column));
    }
    QStringList Rows() const { return FormatRows(view->Model()->Rows()); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(view->List(), Qt::Key(key), modifiers);
    }
};

} // namespace

class AlignViewTest : public QObject {
    Q_OBJECT

private slots:
    void modelPassesTheModelTester();
    void cellsShowTheirSegments();
    void doubtfulRowsFollowTheBeads();
    void doubtIgnoresBlankLinesAndCorrectedRows();
    void longCellsShowTheirBeginning_data();
    void longCellsShowTheirBeginning();
    void newRowsReplaceTheOldOnesAndTheirCorrections();
    void viewStartsHiddenWithColumnsThatFit();
    void rowColoursArePainted();
    void resizingFollowsTheFrame_data();
    void resizingFollowsTheFrame();
    void closingOnlyHides_data();
    void closingOnlyHides();
    void enterDoesNotHide();
    void theTableAsksOnlyForRowsOnScreen();
    void keysCorrectAndUndo_data();
    void keysCorrectAndUndo();
    void editingInPlaceIsACorrection();
    void contextMenuHoldsTheCommands();
    void copyTakesTheSelectedRows();
    void keysGoToTheDoubtfulRows();
    void statusLineCountsTheRows();
    void readOnlyTakesNoCorrection();
    void placedBesideItsOwner_data();
    void placedBesideItsOwner();
};

void AlignViewTest::modelPassesTheModelTester() {
    AlignTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetRows(ParseRows({"|", "A+B|x", "C|y+z", "|", "D|"}), EnglishJapanese);
    const AlignedRows& rows = model.Rows();
    QVERIFY(model.Correct(MergeIntoNext(rows, 1, Side::Source), "merge"));
    QVERIFY(model.Correct(SplitRow(model.Rows(), 2, Side::Source, 1), "split"));
    QVERIFY(model.Correct(MoveFirstSegmentUp(model.Rows(), 3, Side::Source), "up"));
    QVERIFY(model.Correct(MoveLastSegmentDown(model.Rows(), 0, Side::Source), "down") == false);
    QVERIFY(model.Correct(InsertEmptyRow(model.Rows(), 0), "insert"));
    QVERIFY(model.Correct(DeleteEmptyRow(model.Rows(), 0), "delete"));
    QVERIFY(model.setData(model.index(1, AlignTableModel::TargetColumn), "edited"));
    const QStringList corrected = FormatRows(model.Rows());
    while (model.UndoStack()->canUndo()) {
        model.UndoStack()->undo();
    }
    QCOMPARE(FormatRows(model.Rows()), (QStringList{"|", "A+B|x", "C|y+z", "|", "D|"}));
    while (model.UndoStack()->canRedo()) {
        model.UndoStack()->redo();
    }
    QCOMPARE(FormatRows(model.Rows()), corrected);
    model.SetRows({}, {});
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 3);
}

void AlignViewTest::cellsShowTheirSegments() {
    AlignTableModel model;
    QCOMPARE(model.rowCount(), 0);
    model.SetRows(
        ParseRows({"~|~", "Hello.|こんにちは。", "|余り。", "Two words.+Joined.|一。+二。"}),
        EnglishJapanese);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(DisplayColumn(model, AlignTableModel::SourceColumn),
             (QStringList{"", "Hello.", "", "Two words. Joined."}));
    QCOMPARE(DisplayColumn(model, AlignTableModel::TargetColumn),
             (QStringList{"", "こんにちは。", "余り。", "一。二。"}));
    QCOMPARE(model.Column(Side::Source), (ColumnList{L"", L"Hello.", L"", L"Two words. Joined."}));
    for (int row = 0; row < 4; ++row) {
        QVERIFY(!model.index(row, AlignTableModel::HiddenColumn).data().isValid());
        QCOMPARE(model.headerData(row, Qt::Vertical).toInt(), row + 1);
    }
    QStringList headings;
    for (int column = 0; column < model.columnCount(); ++column) {
        headings.append(model.headerData(column, Qt::Horizontal).toString());
    }
    QCOMPARE(headings, (QStringList{"", "Source", "Target"}));
    // Text cells can be edited; the empty first column cannot.
    QVERIFY(model.flags(model.index(1, AlignTableModel::SourceColumn)) & Qt::ItemIsEditable);
    QVERIFY(!(model.flags(model.index(1, AlignTableModel::HiddenColumn)) & Qt::ItemIsEditable));
    for (const int role :
         {int(Qt::ForegroundRole), int(Qt::FontRole), int(Qt::TextAlignmentRole)}) {
        QVERIFY(!model.index(1, 1).data(role).isValid());
    }
}

void AlignViewTest::doubtfulRowsFollowTheBeads() {
    // The anchored run of a title and two labelled paragraphs, English against Japanese: each
    // stretch starts on its fixed pair, and two English sentences share one Japanese one.
    CAnchoredAligner aligner({L"", L"Title", L"(1)", L"The cat sat on the mat.", L"It was happy.",
                              L"(2)", L"Then it slept."},
                             {L"", L"題名", L"（１）", L"猫はマットの上に座って幸せだった。",
                              L"（２）", L"それから眠った。"},
                             L" ", L"", 0.5);
    std::wstring text;
    ColumnList source;
    ColumnList target;
    RowInfoList info;
    RunAnchoredAlignment(text, target, aligner, source, &info);
    AlignTableModel model;
    model.SetRows(
        RowsOfRun(source, target, info, aligner.SourceSegments(), aligner.TargetSegments(), 0.5),
        EnglishJapanese);

    QCOMPARE(DisplayColumn(model, AlignTableModel::SourceColumn)[3],
             QStringLiteral("The cat sat on the mat. It was happy."));
    // Each cell knows its segments, so the row can be split where the sentences meet.
    QCOMPARE(
        FormatRows(model.Rows()),
        (QStringList{"~|~", "Title|題名", "(1)|（１）",
                     "The cat sat on the mat.+It was happy.|猫はマットの上に座って幸せだった。",
                     "(2)|（２）", "Then it slept.|それから眠った。"}));
    const QList<QColor> expected{White, Tint, White, AlignTableModel::UnevenRowColor, White, Tint};
    QCOMPARE(Backgrounds(model, AlignTableModel::SourceColumn), expected);
    QCOMPARE(Backgrounds(model, AlignTableModel::TargetColumn), expected);
    QCOMPARE(
        ToolTips(model),
        (QStringList{"anchor pair, cost 0", QStringLiteral("1-1, cost %1").arg(info[1].cost),
                     "anchor pair, cost 0", QStringLiteral("2-1, cost %1").arg(info[3].cost),
                     "anchor pair, cost 0", QStringLiteral("1-1, cost %1").arg(info[5].cost)}));
    QCOMPARE(model.DoubtfulRowCount(), 1);
}

void AlignViewTest::doubtIgnoresBlankLinesAndCorrectedRows() {
    // Rows as a run leaves them: a source sentence alone, a costly pair (10 units against 60 at
    // ratio 1.0), a bead of two sentences and a blank line on each side that pairs one sentence
    // with one, and a target line alone that is blank.
    const ColumnList source{L"Alone.", std::wstring(10, L's'), L"Fine pair. ", L""};
    const ColumnList target{L"", std::wstring(60, L't'), L"Fine pair.", L""};
    const SentenceList sourceSegments{L"Alone.", std::wstring(10, L's'), L"Fine pair.", L""};
    const SentenceList targetSegments{std::wstring(60, L't'), L"", L"Fine pair.", L""};
    const RowInfoList info{{RowKind::SourceOnly, 900, 1, 0},
                           {RowKind::OneToOne, 1000, 1, 1},
                           {RowKind::TwoToTwo, 670, 2, 2},
                           {RowKind::TargetOnly, 450, 0, 1}};
    AlignTableModel model;
    model.SetRows(RowsOfRun(source, target, info, sourceSegments, targetSegments, 1.0),
                  EnglishJapanese);
    QCOMPARE(Backgrounds(model, AlignTableModel::SourceColumn),
             (QList<QColor>{AlignTableModel::OneSidedRowColor, AlignTableModel::CostlyRowColor,
                            White, Tint}));
    QCOMPARE(ToolTips(model)[2], QStringLiteral("2-2 with blank lines, cost 670"));

    // A corrected row has nothing more to doubt.
    QVERIFY(model.setData(model.index(1, AlignTableModel::TargetColumn), "tttttttttt"));
    QCOMPARE(model.index(1, 1).data(Qt::BackgroundRole).value<QColor>(), Tint);
    QCOMPARE(model.index(1, 1).data(Qt::ToolTipRole).toString(),
             QStringLiteral("corrected by hand"));
    QCOMPARE(model.DoubtfulRowCount(), 1);
}

void AlignViewTest::longCellsShowTheirBeginning_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shown");
    const QString limit(259, u'a');
    QTest::newRow("at the limit") << limit << limit;
    QTest::newRow("beyond") << limit + "bcd" << limit;
    // A character above U+FFFF is not cut in half.
    const QString pair = QString::fromUcs4(U"\U00020BB7");
    QTest::newRow("pair across the limit") << QString(258, u'a') + pair << QString(258, u'a');
    QTest::newRow("pair inside") << QString(257, u'a') + pair + "z" << QString(257, u'a') + pair;
}

void AlignViewTest::longCellsShowTheirBeginning() {
    QFETCH(QString, cell);
    QFETCH(QString, shown);
    AlignedRow row;
    row.source = {cell.toStdWString()};
    row.target = {cell.toStdWString()};
    AlignTableModel model;
    model.SetRows({row}, EnglishJapanese);
    QCOMPARE(model.index(0, 1).data().toString(), shown);
    QCOMPARE(model.index(0, 2).data().toString(), shown);
    // Editing, copying and saving take the whole cell.
    QCOMPARE(model.index(0, 1).data(Qt::EditRole).toString(), cell);
}

void AlignViewTest::newRowsReplaceTheOldOnesAndTheirCorrections() {
    AlignTableModel model;
    model.SetRows(ParseRows({"|", "a|x", "b|y", "c|z"}), EnglishJapanese);
    QVERIFY(model.Correct(MergeIntoNext(model.Rows(), 1, Side::Source), "merge"));
    QVERIFY(!model.UndoStack()->isClean());
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.SetRows(ParseRows({"|", "only|one"}), EnglishJapanese);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(DisplayColumn(model, 1), (QStringList{"", "only"}));
    QCOMPARE(DisplayColumn(model, 2), (QStringList{"", "one"}));
    QVERIFY(!model.UndoStack()->canUndo());
    QVERIFY(model.UndoStack()->isClean());
}

void AlignViewTest::viewStartsHiddenWithColumnsThatFit() {
    CAlignView view(nullptr);
    QVERIFY(view.isHidden());
    QCOMPARE(view.windowTitle(), QStringLiteral("Alignment View"));
    QCOMPARE(view.List()->objectName(), QStringLiteral("1016"));
    QCOMPARE(view.List()->model(), view.Model());
    QCOMPARE(view.List()->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view.List()->editTriggers(),
             QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    QVERIFY(!view.List()->showGrid());
    view.ShowRows(PlainRows(3), EnglishJapanese, 3, 3);

    // Both columns fit in the table's width beside the row numbers, and share it evenly.
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QHeaderView* header = view.List()->horizontalHeader();
    QCOMPARE(header->sectionSize(AlignTableModel::HiddenColumn), 0);
    QCOMPARE(header->sectionSize(AlignTableModel::SourceColumn),
             header->sectionSize(AlignTableModel::TargetColumn));
    const int scrollBar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QVERIFY(header->length() <= view.List()->viewport()->width());
    QVERIFY(header->length() >= view.List()->viewport()->width() - scrollBar - 2);
    QVERIFY(view.List()->verticalHeader()->isVisible());
    QVERIFY(view.List()->horizontalHeader()->isVisible());
    // The status line is seen under the table.
    QVERIFY(view.StatusLine()->isVisible());
    QVERIFY(view.StatusLine()->geometry().top() >= view.List()->geometry().bottom());
    QVERIFY(view.StatusLine()->geometry().bottom() < view.height());
}

void AlignViewTest::rowColoursArePainted() {
    AlignedRows rows = PlainRows(4);
    rows[2].doubt = Doubt::OneSided;
    CAlignView view(nullptr);
    view.ShowRows(rows, EnglishJapanese, 4, 4);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // The current cell is drawn in a colour of its own.
    view.List()->setCurrentIndex(QModelIndex());
    const QImage image = view.List()->viewport()->grab().toImage();
    const qreal scale = image.devicePixelRatio();
    const QList<QColor> expected{White, Tint, AlignTableModel::OneSidedRowColor, Tint};
    for (int row = 0; row < 4; ++row) {
        for (int column = 1; column <= 2; ++column) {
            const QRect cell = view.List()->visualRect(view.Model()->index(row, column));
            // Right of the short text.
            const QPoint sample(cell.left() + cell.width() * 3 / 4, cell.center().y());
            QCOMPARE(image.pixelColor((sample * scale)).rgb(), expected[row].rgb());
        }
    }
}

void AlignViewTest::resizingFollowsTheFrame_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger") << QSize(800, 500);
    QTest::newRow("odd width") << QSize(601, 300);
    QTest::newRow("smaller") << QSize(300, 200);
}

void AlignViewTest::resizingFollowsTheFrame() {
    QFETCH(QSize, size);
    CAlignView view(nullptr);
    view.ShowRows(PlainRows(2), EnglishJapanese, 2, 2);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.resize(size);
    QTRY_COMPARE(view.size(), size);
    // Measured on the outer frame, whatever borders the platform draws around the client area;
    // the status line takes the bottom.
    const QMargins border = FrameBorders(view);
    const QRect list = view.List()->geometry();
    QCOMPARE(list.topLeft(), QPoint(0, 0));
    QCOMPARE(list.width(), size.width() + border.right() - 4);
    const QRect status = view.StatusLine()->geometry();
    QCOMPARE(status.top(), list.bottom() + 1);
    QCOMPARE(status.bottom() + 1, std::min(size.height() + border.bottom() - 4, size.height()));
    const QHeaderView* header = view.List()->horizontalHeader();
    QCOMPARE(header->sectionSize(1), header->sectionSize(2));
    QVERIFY(header->length() <= view.List()->viewport()->width());
}

void AlignViewTest::closingOnlyHides_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("close box") << false;
    QTest::newRow("Escape") << true;
}

void AlignViewTest::closingOnlyHides() {
    QFETCH(bool, escape);
    QWidget owner;
    QPointer<CAlignView> view = new CAlignView(&owner);
    view->ShowRows(ParseRows({"|", "a|b"}), EnglishJapanese, 1, 1);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    if (escape) {
        QTest::keyClick(view->List(), Qt::Key_Escape);
    } else {
        QVERIFY(view->close());
    }
    QVERIFY(view);
    QVERIFY(view->isHidden());
    view->show();
    QVERIFY(view->isVisible());
    QCOMPARE(DisplayColumn(*view->Model(), 1), (QStringList{"", "a"}));
}

void AlignViewTest::enterDoesNotHide() {
    ShownView shown({"|", "a|b"});
    shown.GoTo(1, AlignTableModel::SourceColumn);
    shown.Key(Qt::Key_Return);
    shown.Key(Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(shown.view->isVisible());
}

void AlignViewTest::theTableAsksOnlyForRowsOnScreen() {
    CAlignView view(nullptr);
    RowCounter counter;
    counter.setSourceModel(view.Model());
    view.List()->setModel(&counter);
    view.ShowRows(PlainRows(100000), EnglishJapanese, 100000, 100000);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.List()->viewport()->grab();
    QVERIFY(!counter.rows.empty());
    QVERIFY2(counter.rows.size() < 100, qPrintable(QString::number(counter.rows.size())));
    QVERIFY(*counter.rows.rbegin() < 100);
}

void AlignViewTest::keysCorrectAndUndo_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("currentRow");

    const QStringList rows{"|", "A+B|x", "C|y", "|z"};
    const int source = AlignTableModel::SourceColumn;
    const int target = AlignTableModel::TargetColumn;
    const int none = Qt::NoModifier;
    QTest::newRow("Ctrl+M merges into the row below")
        << rows << 1 << source << int(Qt::Key_M) << int(Qt::ControlModifier)
        << QStringList{"|", "|x", "A+B+C|y", "|z"} << 2;
    QTest::newRow("Ctrl+Shift+M splits before the last segment")
        << rows << 1 << source << int(Qt::Key_M) << int(Qt::ControlModifier | Qt::ShiftModifier)
        << QStringList{"|", "A|x", "B|", "C|y", "|z"} << 2;
    QTest::newRow("Alt+Up moves the first segment up")
        << rows << 3 << target << int(Qt::Key_Up) << int(Qt::AltModifier)
        << QStringList{"|", "A+B|x", "C|y+z"} << 2;
    QTest::newRow("Alt+Down moves the last segment down")
        << rows << 1 << source << int(Qt::Key_Down) << int(Qt::AltModifier)
        << QStringList{"|", "A|x", "B+C|y", "|z"} << 2;
    QTest::newRow("Insert puts an empty row before")
        << rows << 2 << target << int(Qt::Key_Insert) << none
        << QStringList{"|", "A+B|x", "|", "C|y", "|z"} << 2;
    QTest::newRow("Delete takes an empty row away")
        << rows << 0 << source << int(Qt::Key_Delete) << none << QStringList{"A+B|x", "C|y", "|z"}
        << 0;
    QTest::newRow("Delete keeps a row with text")
        << rows << 1 << source << int(Qt::Key_Delete) << none << rows << 1;
}

void AlignViewTest::keysCorrectAndUndo() {
    QFETCH(QStringList, rows);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, expected);
    QFETCH(int, currentRow);

    ShownView shown(rows);
    QAbstractItemModelTester tester(shown.view->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    shown.GoTo(row, column);
    shown.Key(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(shown.Rows(), expected);
    QCOMPARE(shown.view->List()->currentIndex().row(), currentRow);
    QCOMPARE(shown.view->HasUnsavedCorrections(), expected != rows);

    shown.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown.Rows(), rows);
    QVERIFY(!shown.view->HasUnsavedCorrections());
    shown.Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(shown.Rows(), expected);
    shown.Key(Qt::Key_Z, Qt::ControlModifier);
    shown.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(shown.Rows(), expected);
}

void AlignViewTest::editingInPlaceIsACorrection() {
    ShownView shown({"|", "The cat.+It sat.|猫。"});
    shown.GoTo(1, AlignTableModel::SourceColumn);
    shown.Key(Qt::Key_F2);
    auto* editor = shown.view->List()->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("The cat. It sat."));
    editor->setText(QStringLiteral("The dog. It sat."));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(shown.Rows(), (QStringList{"|", "The dog.+It sat.|猫。"}));
    QVERIFY(shown.view->isVisible());
    QTRY_VERIFY(shown.view->List()->viewport()->findChild<QLineEdit*>() == nullptr);

    // Double-click edits as well; Escape leaves the cell as it was.
    const QRect cell = shown.view->List()->visualRect(
        shown.view->Model()->index(1, AlignTableModel::TargetColumn));
    // A double click is a press, and then the double click.
    QTest::mousePress(shown.view->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      cell.center());
    QTest::mouseDClick(shown.view->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       cell.center());
    QTRY_VERIFY((editor = shown.view->List()->viewport()->findChild<QLineEdit*>()) != nullptr);
    editor->setText(QStringLiteral("犬。"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(shown.view->List()->viewport()->findChild<QLineEdit*>() == nullptr);
    QVERIFY(shown.view->isVisible());
    QCOMPARE(shown.Rows(), (QStringList{"|", "The dog.+It sat.|猫。"}));

    shown.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown.Rows(), (QStringList{"|", "The cat.+It sat.|猫。"}));
}

void AlignViewTest::contextMenuHoldsTheCommands() {
    ShownView shown({"A+B+C|x", "D|y"});
    shown.GoTo(0, AlignTableModel::SourceColumn);
    const std::unique_ptr<QMenu> menu = shown.view->ContextMenu();
    QStringList entries;
    QMenu* splitAt = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        if (action->menu() != nullptr) {
            splitAt = action->menu();
        }
        entries.append(action->text() + u'\t' + action->shortcut().toString() + u'\t' +
                       (action->isEnabled() ? u'+' : u'-'));
    }
    QCOMPARE(
        entries,
        (QStringList{"Undo\tCtrl+Z\t-", "Redo\tCtrl+Y\t-", "&Merge into Row Below\tCtrl+M\t+",
                     "&Split Row before Last Segment\tCtrl+Shift+M\t+", "Split Row &at\t\t+",
                     "Move First Segment &Up\tAlt+Up\t-", "Move Last Segment &Down\tAlt+Down\t+",
                     "&Edit Cell\tF2\t+", "&Insert Empty Row\tIns\t+", "De&lete Empty Row\tDel\t-",
                     "&Copy Rows\tCtrl+C\t+", "&Next Doubtful Row\tF8\t+",
                     "&Previous Doubtful Row\tShift+F8\t+"}));
    // The cell of three segments can be split at either boundary.
    QVERIFY(splitAt != nullptr);
    QCOMPARE(splitAt->actions().size(), 2);
    QCOMPARE(splitAt->actions()[0]->text(), QStringLiteral("Before Segment 2: B"));
    splitAt->actions()[0]->trigger();
    QCOMPARE(shown.Rows(), (QStringList{"A|x", "B+C|", "D|y"}));
    // The undo entry names what it undoes.
    QCOMPARE(shown.view->Action(Command::Undo)->text(),
             QStringLiteral("Undo Split Row before Last Segment"));
}

void AlignViewTest::copyTakesTheSelectedRows() {
    ShownView shown({"|", "A+B|x", "C|", "D|y"});
    QTableView* list = shown.view->List();
    list->selectionModel()->select(shown.view->Model()->index(3, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(shown.view->Model()->index(1, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    shown.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("A B\tx\nD\ty\n"));
}

void AlignViewTest::keysGoToTheDoubtfulRows() {
    AlignedRows rows = PlainRows(6);
    rows[2].doubt = Doubt::Uneven;
    rows[4].doubt = Doubt::Costly;
    CAlignView view(nullptr);
    view.ShowRows(rows, EnglishJapanese, 6, 6);
    view.show();
    QApplication::setActiveWindow(&view);
    QVERIFY(QTest::qWaitForWindowActive(&view));
    view.List()->setFocus();
    QList<int> visited;
    for (int k = 0; k < 3; ++k) {
        QTest::keyClick(view.List(), Qt::Key_F8);
        visited.append(view.List()->currentIndex().row());
    }
    QTest::keyClick(view.List(), Qt::Key_F8, Qt::ShiftModifier);
    visited.append(view.List()->currentIndex().row());
    QCOMPARE(visited, (QList<int>{2, 4, 4, 2}));
    QVERIFY(view.List()->selectionModel()->isRowSelected(2, QModelIndex()));
}

void AlignViewTest::statusLineCountsTheRows() {
    AlignedRows rows = ParseRows({"|", "A+B|x", "C|y", "|"});
    rows[1].doubt = Doubt::Uneven;
    CAlignView view(nullptr);
    view.ShowRows(rows, EnglishJapanese, 3, 2);
    QCOMPARE(view.StatusLine()->text(),
             QStringLiteral("Source: 3 segments   Target: 2 segments   4 rows   1 doubtful"));
    QVERIFY(view.Model()->Correct(DeleteEmptyRow(view.Model()->Rows(), 3), "delete"));
    QVERIFY(view.Model()->Correct(SplitRow(view.Model()->Rows(), 1, Side::Source, 1), "split"));
    QCOMPARE(view.StatusLine()->text(),
             QStringLiteral("Source: 3 segments   Target: 2 segments   4 rows   0 doubtful"));
}

void AlignViewTest::readOnlyTakesNoCorrection() {
    ShownView shown({"A|x", "B|y"});
    shown.view->SetReadOnly(true);
    shown.GoTo(0, AlignTableModel::SourceColumn);
    shown.Key(Qt::Key_M, Qt::ControlModifier);
    shown.Key(Qt::Key_F2);
    QVERIFY(shown.view->List()->viewport()->findChild<QLineEdit*>() == nullptr);
    QVERIFY(!shown.view->Model()->setData(shown.view->Model()->index(0, 1), "new"));
    QCOMPARE(shown.Rows(), (QStringList{"A|x", "B|y"}));
    // Looking and copying still work.
    QVERIFY(shown.view->Action(Command::Copy)->isEnabled());
    shown.view->SetReadOnly(false);
    shown.Key(Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(shown.Rows(), (QStringList{"|x", "A+B|y"}));
}

void AlignViewTest::placedBesideItsOwner_data() {
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("expected");
    const QRect screen(0, 0, 1280, 1024);
    const QSize size(500, 400);
    QTest::newRow("below") << QRect(100, 100, 600, 200) << QRect(100, 308, 500, 400);
    QTest::newRow("below, slid onto the screen")
        << QRect(1000, 100, 250, 200) << QRect(780, 308, 500, 400);
    QTest::newRow("right when the bottom is full")
        << QRect(100, 700, 600, 200) << QRect(708, 624, 500, 400);
    QTest::newRow("left when the bottom and right are full")
        << QRect(700, 700, 570, 200) << QRect(192, 624, 500, 400);
    QTest::newRow("above") << QRect(100, 700, 1100, 200) << QRect(100, 292, 500, 400);
    QTest::newRow("nowhere whole: the side that shows most")
        << QRect(0, 300, 1280, 500) << QRect(0, -108, 500, 400);
}

void AlignViewTest::placedBesideItsOwner() {
    QFETCH(QRect, owner);
    QFETCH(QRect, expected);
    const QRect placed = PlaceBeside(owner, QSize(500, 400), QRect(0, 0, 1280, 1024));
    QCOMPARE(placed, expected);
    QVERIFY(!placed.intersects(owner));
}

QTEST_MAIN(AlignViewTest)
#include "AlignViewTest.moc"
