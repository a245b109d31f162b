#include "window/RowCorrections.h"
#include "RowText.h"

#include <QtTest>

using namespace bitexa;

namespace {

// The rows after the change, which must start from these rows.
AlignedRows Applied(const AlignedRows& rows, const RowChange& change) {
    const auto first = rows.begin() + change.first;
    const auto end = first + static_cast<std::ptrdiff_t>(change.before.size());
    if (!std::equal(first, end, change.before.begin(), change.before.end())) {
        qWarning("the change does not start from the rows");
        return {};
    }
    AlignedRows changed(rows.begin(), first);
    changed.insert(changed.end(), change.after.begin(), change.after.end());
    changed.insert(changed.end(), end, rows.end());
    return changed;
}

enum Correction { Merge, Split, MoveUp, MoveDown, Edit, Insert, Delete };

} // namespace

class RowCorrectionsTest : public QObject {
    Q_OBJECT

private slots:
    void corrections_data();
    void corrections();
    void touchedRowsCountAsCorrected();
};

void RowCorrectionsTest::corrections_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("correction");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("target");
    // The boundary of a split, or the new text of an edit.
    QTest::addColumn<QVariant>("argument");
    QTest::addColumn<QString>("joiner");
    // Empty when the correction cannot be made there.
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("focus");

    const QStringList two{"A|x", "B|y"};
    const QVariant none;
    QTest::newRow("merge keeps the other column")
        << two << int(Merge) << 0 << false << none << " " << QStringList{"|x", "A+B|y"} << 1;
    QTest::newRow("merge of a one-sided row takes the row away")
        << QStringList{"A|", "B|y"} << int(Merge) << 0 << false << none << " "
        << QStringList{"A+B|y"} << 0;
    QTest::newRow("merge of the target")
        << two << int(Merge) << 0 << true << none << "" << QStringList{"A|", "B|x+y"} << 1;
    QTest::newRow("merge leaves blank segments behind")
        << QStringList{"~+A|x", "B+~|y"} << int(Merge) << 0 << false << none << " "
        << QStringList{"|x", "A+B|y"} << 1;
    QTest::newRow("no merge from the last row")
        << two << int(Merge) << 1 << false << none << " " << QStringList{} << 0;
    QTest::newRow("no merge of an empty cell") << QStringList{"~|x", "B|y"} << int(Merge) << 0
                                               << false << none << " " << QStringList{} << 0;

    QTest::newRow("split at a boundary")
        << QStringList{"A+B+C|x", "D|y"} << int(Split) << 0 << false << QVariant(2) << " "
        << QStringList{"A+B|x", "C|", "D|y"} << 1;
    QTest::newRow("split counts only segments with text")
        << QStringList{"A+~+B|x"} << int(Split) << 0 << false << QVariant(1) << " "
        << QStringList{"A|x", "B|"} << 1;
    QTest::newRow("no split before the first segment")
        << QStringList{"A+B|x"} << int(Split) << 0 << false << QVariant(0) << " " << QStringList{}
        << 0;
    QTest::newRow("no split after the last segment")
        << QStringList{"A+B|x"} << int(Split) << 0 << false << QVariant(2) << " " << QStringList{}
        << 0;

    QTest::newRow("first segment up") << QStringList{"A|x", "B+C|y"} << int(MoveUp) << 1 << false
                                      << none << " " << QStringList{"A+B|x", "C|y"} << 0;
    QTest::newRow("the only segment up takes a one-sided row away")
        << QStringList{"A|x", "|y", "B|"} << int(MoveUp) << 2 << false << none << " "
        << QStringList{"A|x", "B|y"} << 1;
    QTest::newRow("nothing above the first row")
        << two << int(MoveUp) << 0 << false << none << " " << QStringList{} << 0;
    QTest::newRow("last segment down") << QStringList{"A+B|x", "C|y"} << int(MoveDown) << 0 << false
                                       << none << " " << QStringList{"A|x", "B+C|y"} << 1;
    QTest::newRow("last target segment down")
        << two << int(MoveDown) << 0 << true << none << " " << QStringList{"A|", "B|x+y"} << 1;
    QTest::newRow("nothing below the last row")
        << two << int(MoveDown) << 1 << false << none << " " << QStringList{} << 0;

    QTest::newRow("an edit inside a segment keeps the boundary")
        << QStringList{"The cat.+It sat.|x"} << int(Edit) << 0 << false
        << QVariant(QStringLiteral("The dog. It sat.")) << " " << QStringList{"The dog.+It sat.|x"}
        << 0;
    QTest::newRow("an edit at the end keeps the boundary")
        << QStringList{"The cat.+It sat.|x"} << int(Edit) << 0 << false
        << QVariant(QStringLiteral("The cat. It sat down.")) << " "
        << QStringList{"The cat.+It sat down.|x"} << 0;
    QTest::newRow("an edit through the joiner joins the segments")
        << QStringList{"The cat.+It sat.|x"} << int(Edit) << 0 << false
        << QVariant(QStringLiteral("The cat.It sat.")) << " " << QStringList{"The cat.It sat.|x"}
        << 0;
    QTest::newRow("text put at a boundary without joiner goes to the later segment")
        << QStringList{"A|猫。+犬。"} << int(Edit) << 0 << true
        << QVariant(QStringLiteral("猫。鳥、犬。")) << "" << QStringList{"A|猫。+鳥、犬。"} << 0;
    QTest::newRow("an edit to nothing empties the cell")
        << QStringList{"A+B|x"} << int(Edit) << 0 << false << QVariant(QString()) << " "
        << QStringList{"|x"} << 0;
    QTest::newRow("typing into an empty cell")
        << QStringList{"|x"} << int(Edit) << 0 << false << QVariant(QStringLiteral("New")) << " "
        << QStringList{"New|x"} << 0;
    QTest::newRow("the same text is no edit")
        << QStringList{"A+B|x"} << int(Edit) << 0 << false << QVariant(QStringLiteral("A B")) << " "
        << QStringList{} << 0;

    QTest::newRow("insert before a row")
        << two << int(Insert) << 1 << false << none << " " << QStringList{"A|x", "|", "B|y"} << 1;
    QTest::newRow("insert after the last row")
        << two << int(Insert) << 2 << false << none << " " << QStringList{"A|x", "B|y", "|"} << 2;
    QTest::newRow("no insert beyond the rows")
        << two << int(Insert) << 3 << false << none << " " << QStringList{} << 0;
    QTest::newRow("delete a row without text")
        << QStringList{"A|x", "~|~", "B|y"} << int(Delete) << 1 << false << none << " "
        << QStringList{"A|x", "B|y"} << 1;
    QTest::newRow("delete the last row") << QStringList{"A|x", "|"} << int(Delete) << 1 << false
                                         << none << " " << QStringList{"A|x"} << 0;
    QTest::newRow("a row with text is not deleted") << QStringList{"A|", "B|y"} << int(Delete) << 0
                                                    << false << none << " " << QStringList{} << 0;
}

void RowCorrectionsTest::corrections() {
    QFETCH(QStringList, rows);
    QFETCH(int, correction);
    QFETCH(int, row);
    QFETCH(bool, target);
    QFETCH(QVariant, argument);
    QFETCH(QString, joiner);
    QFETCH(QStringList, expected);
    QFETCH(int, focus);

    const AlignedRows before = ParseRows(rows);
    const Side side = target ? Side::Target : Side::Source;
    std::optional<RowChange> change;
    switch (correction) {
    case Merge:
        change = MergeIntoNext(before, row, side);
        break;
    case Split:
        change = SplitRow(before, row, side, argument.toInt());
        break;
    case MoveUp:
        change = MoveFirstSegmentUp(before, row, side);
        break;
    case MoveDown:
        change = MoveLastSegmentDown(before, row, side);
        break;
    case Edit:
        change =
            EditCell(before, row, side, argument.toString().toStdWString(), joiner.toStdWString());
        break;
    case Insert:
        change = InsertEmptyRow(before, row);
        break;
    case Delete:
        change = DeleteEmptyRow(before, row);
        break;
    }
    if (expected.isEmpty()) {
        QVERIFY(!change);
        return;
    }
    QVERIFY(change);
    QCOMPARE(FormatRows(Applied(before, *change)), expected);
    QCOMPARE(change->focusRow, focus);
}

void RowCorrectionsTest::touchedRowsCountAsCorrected() {
    AlignedRows rows = ParseRows({"A|x", "B|y", "C|z"});
    for (AlignedRow& row : rows) {
        row.info = {RowKind::TwoToOne, 500, 2, 1};
        row.doubt = Doubt::Uneven;
    }
    const std::optional<RowChange> change = MergeIntoNext(rows, 0, Side::Source);
    QVERIFY(change);
    for (const AlignedRow& row : change->after) {
        QVERIFY(row.corrected);
        QCOMPARE(DoubtOf(row), Doubt::None);
    }
    // The row the correction did not touch keeps its doubt.
    QCOMPARE(DoubtOf(Applied(rows, *change).back()), Doubt::Uneven);
}

QTEST_APPLESS_MAIN(RowCorrectionsTest)
#include "RowCorrectionsTest.moc"
