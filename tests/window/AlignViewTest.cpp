#include "window/AlignView.h"
#include "res/DialogTemplates.h"
#include "window/DialogBuilder.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QPointer>
#include <QTableView>
#include <QtTest>

#include <set>

using namespace bitexa;

namespace {

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

QList<int> ColumnWidths(const CAlignView& view) {
    const QHeaderView* header = view.List()->horizontalHeader();
    return {header->sectionSize(0), header->sectionSize(1), header->sectionSize(2)};
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

} // namespace

class AlignViewTest : public QObject {
    Q_OBJECT

private slots:
    void modelPassesTheModelTester();
    void cellsShowTheColumnLists();
    void rowColoursFollowTheIndex();
    void longCellsShowTheirBeginning_data();
    void longCellsShowTheirBeginning();
    void fewerRowsReplaceTheOldOnes();
    void viewStartsHiddenWithItsColumns();
    void rowColoursArePainted();
    void resizingFollowsTheFrame_data();
    void resizingFollowsTheFrame();
    void closingOnlyHides_data();
    void closingOnlyHides();
    void theTableAsksOnlyForRowsOnScreen();
};

void AlignViewTest::modelPassesTheModelTester() {
    ColumnList source;
    ColumnList target;
    AlignTableModel model(source, target);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    source = {L"", L"a", L"b"};
    target = {L"", L"x", L"y"};
    model.UpdateRowCount();
    source = {L""};
    target = {L""};
    model.UpdateRowCount();
    source.clear();
    target.clear();
    model.UpdateRowCount();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 3);
}

void AlignViewTest::cellsShowTheColumnLists() {
    const ColumnList source{L"", L"Hello.", L"", L"Two words. Joined."};
    const ColumnList target{L"", L"こんにちは。", L"余り。", L""};
    AlignTableModel model(source, target);
    QCOMPARE(model.rowCount(), 0); // until told
    model.UpdateRowCount();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(DisplayColumn(model, AlignTableModel::SourceColumn),
             (QStringList{"", "Hello.", "", "Two words. Joined."}));
    QCOMPARE(DisplayColumn(model, AlignTableModel::TargetColumn),
             (QStringList{"", "こんにちは。", "余り。", ""}));
    for (int row = 0; row < 4; ++row) {
        QVERIFY(!model.index(row, AlignTableModel::HiddenColumn).data().isValid());
    }
    QStringList headings;
    for (int column = 0; column < model.columnCount(); ++column) {
        headings.append(model.headerData(column, Qt::Horizontal).toString());
    }
    QCOMPARE(headings, (QStringList{"", "Source", "Target"}));
    // Only text and background are answered.
    for (const int role : {int(Qt::ForegroundRole), int(Qt::FontRole), int(Qt::ToolTipRole),
                           int(Qt::EditRole), int(Qt::TextAlignmentRole)}) {
        QVERIFY(!model.index(1, 1).data(role).isValid());
    }
}

void AlignViewTest::rowColoursFollowTheIndex() {
    const ColumnList source(5, L"s");
    const ColumnList target(5, L"t");
    AlignTableModel model(source, target);
    model.UpdateRowCount();
    const QList<QColor> expected{White, Tint, White, Tint, White};
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(Backgrounds(model, column), expected);
    }
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
    const ColumnList source{cell.toStdWString()};
    const ColumnList target{cell.toStdWString()};
    AlignTableModel model(source, target);
    model.UpdateRowCount();
    QCOMPARE(model.index(0, 1).data().toString(), shown);
    QCOMPARE(model.index(0, 2).data().toString(), shown);
}

void AlignViewTest::fewerRowsReplaceTheOldOnes() {
    ColumnList source{L"", L"a", L"b", L"c"};
    ColumnList target{L"", L"x", L"y", L"z"};
    AlignTableModel model(source, target);
    model.UpdateRowCount();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    source = {L"", L"only"};
    target = {L"", L"one"};
    model.UpdateRowCount();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(DisplayColumn(model, 1), (QStringList{"", "only"}));
    QCOMPARE(DisplayColumn(model, 2), (QStringList{"", "one"}));

    // Lists of unequal length: the missing cells are empty.
    source = {L"", L"a", L"b"};
    target = {L""};
    model.UpdateRowCount();
    QCOMPARE(DisplayColumn(model, 2), (QStringList{"", "", ""}));
}

void AlignViewTest::viewStartsHiddenWithItsColumns() {
    const ColumnList source;
    const ColumnList target;
    CAlignView view(nullptr, source, target);
    QVERIFY(view.isHidden());
    QCOMPARE(view.windowTitle(), QStringLiteral("Alignment View"));
    QCOMPARE(view.List()->objectName(), QStringLiteral("1016"));
    QCOMPARE(view.List()->model(), view.Model());
    QCOMPARE(view.List()->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view.List()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!view.List()->showGrid());

    // Shown the first time, the list keeps its place from the template and the columns their
    // initial widths.
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(ColumnWidths(view), (QList<int>{0, 250, 250}));
    QCOMPARE(view.List()->geometry(), DluToPixels({0, 0, 315, 185}, BaseUnitsOf(view.font())));
    // A run with no rows shows the headings and an empty table.
    QCOMPARE(view.Model()->rowCount(), 0);
    QVERIFY(view.List()->horizontalHeader()->isVisible());
    QVERIFY(!view.List()->verticalHeader()->isVisible());
}

void AlignViewTest::rowColoursArePainted() {
    const ColumnList source{L"", L"a", L"b", L"c"};
    const ColumnList target{L"", L"x", L"y", L"z"};
    CAlignView view(nullptr, source, target);
    view.UpdateRowCount();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = view.List()->viewport()->grab().toImage();
    const qreal scale = image.devicePixelRatio();
    for (int row = 0; row < 4; ++row) {
        for (int column = 1; column <= 2; ++column) {
            const QRect cell = view.List()->visualRect(view.Model()->index(row, column));
            // Well right of the one-letter text.
            const QPoint sample(cell.left() + 60, cell.center().y());
            QCOMPARE(image.pixelColor((sample * scale)).rgb(), (row % 2 == 0 ? White : Tint).rgb());
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
    const ColumnList source{L"", L"a"};
    const ColumnList target{L"", L"b"};
    CAlignView view(nullptr, source, target);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.resize(size);
    QTRY_COMPARE(view.size(), size);
    // Measured on the outer frame, whatever borders the platform draws around the client area.
    const QMargins border = FrameBorders(view);
    QCOMPARE(view.List()->geometry(),
             QRect(0, 0, size.width() + border.right() - 4, size.height() + border.bottom() - 4));
    const int frameWidth = border.left() + size.width() + border.right();
    const int column = frameWidth / 2 - 16;
    QCOMPARE(ColumnWidths(view), (QList<int>{0, column, column}));
}

void AlignViewTest::closingOnlyHides_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Enter") << "enter";
}

void AlignViewTest::closingOnlyHides() {
    QFETCH(QString, how);
    const ColumnList source{L"", L"a"};
    const ColumnList target{L"", L"b"};
    QWidget owner;
    QPointer<CAlignView> view = new CAlignView(&owner, source, target);
    view->UpdateRowCount();
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    if (how == "close") {
        QVERIFY(view->close());
    } else {
        QTest::keyClick(view->List(), how == "escape" ? Qt::Key_Escape : Qt::Key_Return);
    }
    QVERIFY(view);
    QVERIFY(view->isHidden());
    QCOMPARE(view->Model()->rowCount(), 2);
    view->show();
    QVERIFY(view->isVisible());
    QCOMPARE(DisplayColumn(*view->Model(), 1), (QStringList{"", "a"}));
}

void AlignViewTest::theTableAsksOnlyForRowsOnScreen() {
    const ColumnList source(100000, L"source");
    const ColumnList target(100000, L"target");
    CAlignView view(nullptr, source, target);
    RowCounter counter;
    counter.setSourceModel(view.Model());
    view.List()->setModel(&counter);
    view.UpdateRowCount();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.List()->viewport()->grab();
    QVERIFY(!counter.rows.empty());
    QVERIFY2(counter.rows.size() < 100, qPrintable(QString::number(counter.rows.size())));
    QVERIFY(*counter.rows.rbegin() < 100);
}

QTEST_MAIN(AlignViewTest)
#include "AlignViewTest.moc"
