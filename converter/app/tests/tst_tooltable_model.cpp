// The tool grid's model over the engine's tool table, its file, and the grid's row actions.

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QtTest>

#include "engine/translation/tool_table_file.h"
#include "test_folder.h"
#include "tool_grid.h"
#include "tool_table_model.h"

using namespace pathshift;
using namespace pathshift::app;

class TstToolTableModel : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file() const { return dir_.filePath("ToolTbl.Dat"); }

private slots:
    void init() { QFile::remove(file()); }

    void headingsAndEmptyRows() {
        ToolTableModel model;
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Tarvo"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Selvix"));
        QCOMPARE(model.headerData(0, Qt::Vertical, Qt::DisplayRole).toInt(), 1);
        QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    }

    void editsGoIntoTheEnginesTable() {
        ToolTableModel model;
        QSignalSpy edited(&model, &ToolTableModel::edited);
        QVERIFY(model.setData(model.index(2, 0), " 1005", Qt::EditRole));
        QVERIFY(model.setData(model.index(2, 1), "3", Qt::EditRole));
        QCOMPARE(model.table().GetCell(3, 1), std::string(" 1005"));
        QCOMPARE(model.table().GetCell(3, 2), std::string("3"));
        QCOMPARE(model.data(model.index(2, 0), Qt::DisplayRole).toString(), QString(" 1005"));
        QCOMPARE(edited.count(), 2);
        QVERIFY(model.setData(model.index(2, 1), "3", Qt::EditRole));
        QCOMPARE(edited.count(), 2);  // the same text is no edit
        ToolTableError error;
        std::optional<ToolTranslation> t = ToolLookup(model.table()).translate(1005, error);
        QVERIFY(t);
        QCOMPARE(t->tool, std::int16_t(3));
    }

    void rowsAreAddedAndRemoved() {
        ToolTableModel model;
        model.setData(model.index(0, 0), "1001", Qt::EditRole);
        QSignalSpy edited(&model, &ToolTableModel::edited);
        QVERIFY(model.insertRows(0, 2));
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows + 2);
        QCOMPARE(model.table().GetCell(3, 1), std::string("1001"));
        QVERIFY(model.removeRows(0, 3));
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows - 1);
        QVERIFY(!model.removeRows(0, 1000));
        QVERIFY(!model.insertRows(-1, 1));
        QCOMPARE(edited.count(), 2);
    }

    void missingFileKeepsTheEmptyTable() {
        ToolTableModel model;
        QString reason;
        QCOMPARE(model.load(file(), reason), ToolTableModel::LoadResult::Missing);
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows);
    }

    void savedTableLoadsBackWithItsRowCount() {
        ToolTableModel model;
        model.setData(model.index(0, 0), "1005", Qt::EditRole);
        model.setData(model.index(0, 1), "a\tb \\", Qt::EditRole);
        model.removeRows(3, ToolTableModel::kEmptyTableRows - 3);
        QString error;
        QVERIFY(model.save(file(), error));
        ToolTableModel loaded;
        QString reason;
        QCOMPARE(loaded.load(file(), reason), ToolTableModel::LoadResult::Loaded);
        QCOMPARE(loaded.rowCount(), 3);
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 2; ++column)
                QCOMPARE(loaded.table().GetCell(row, column), model.table().GetCell(row, column));
    }

    void cutOffFileKeepsItsWholeRowsAndSaysSo() {
        test::writeFile(file(), "Pathshift tool table 1\r\nrows 5\r\n1001\t1\r\n1002\t1");
        ToolTableModel model;
        QString reason;
        QCOMPARE(model.load(file(), reason), ToolTableModel::LoadResult::Repaired);
        QVERIFY2(reason.contains("row 2"), qPrintable(reason));
        QCOMPARE(model.table().rows(), (std::vector<ToolRow>{{"1001", "1"}, {}, {}, {}, {}}));
    }

    void foreignFileIsDamaged() {
        test::writeFile(file(), QByteArray("\x89PNG\r\n\x1a\n\0\0binary", 16));
        ToolTableModel model;
        QString reason;
        QCOMPARE(model.load(file(), reason), ToolTableModel::LoadResult::Damaged);
        QVERIFY(reason.contains("not a Pathshift tool table"));
    }

    void saveIntoUnwritableFolderSaysWhy() {
        ToolTableModel model;
        QString error;
        QVERIFY(!model.save(test::unwritableFolder() + "ToolTbl.Dat", error));
        QVERIFY(!error.isEmpty());
    }

    void gridActionsInsertAndRemoveRows() {
        ToolTableModel model;
        ToolGrid grid;
        grid.setToolModel(&model);
        grid.setCurrentIndex(model.index(4, 0));
        grid.insertRowAction()->trigger();
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows + 1);
        QCOMPARE(grid.currentIndex().row(), 4);
        model.setData(model.index(5, 0), "keep", Qt::EditRole);
        grid.selectionModel()->clearSelection();
        grid.setCurrentIndex(model.index(4, 0));
        grid.removeRowAction()->trigger();
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows);
        QCOMPARE(model.table().GetCell(5, 1), std::string("keep"));
        QCOMPARE(grid.contextMenuPolicy(), Qt::ActionsContextMenu);
        grid.setCurrentIndex(model.index(model.rowCount() - 1, 1));
        grid.appendRowAction()->trigger();  // after the last row
        QCOMPARE(model.rowCount(), ToolTableModel::kEmptyTableRows + 1);
        QCOMPARE(grid.currentIndex(), model.index(model.rowCount() - 1, 1));
    }

    void deleteClearsCellsAndTabLeavesAfterTheLast() {
        ToolTableModel model;
        model.setTable(ToolTable(std::vector<ToolRow>{{"x", "x"}, {"x", "x"}}));
        QWidget window;
        auto* grid = new ToolGrid(&window);
        grid->setToolModel(&model);
        auto* after = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        grid->setCurrentIndex(model.index(0, 0));
        grid->selectionModel()->select(QItemSelection(model.index(0, 0), model.index(0, 1)), QItemSelectionModel::Select);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(model.table().rows(), (std::vector<ToolRow>{{}, {"x", "x"}}));
        grid->setCurrentIndex(model.index(1, 0));
        QTest::keyClick(grid, Qt::Key_Backspace);
        QCOMPARE(model.table().rows(), (std::vector<ToolRow>{{}, {"", "x"}}));
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(grid->currentIndex(), model.index(1, 1));
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(after->hasFocus());
    }
};

QTEST_MAIN(TstToolTableModel)
#include "tst_tooltable_model.moc"
