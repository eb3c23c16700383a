// The response graphs as the user reads them, from the editors opened on
// tarnsim's default device: curves on the grid lines at 0 dB, labels on their
// lines and apart from each other, and a press on a crossover edge marker
// taking the marker under the pointer.
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include "audio/crossover/crossover_editor_base.h"
#include "audio/crossover/crossover_graph_painter.h"
#include "audio/shared/graph_labels.h"
#include "audio/shared/peq_graph_geometry.h"
#include "audio/shared/peq_graph_widget.h"
#include "gui_session.h"

namespace objscope_gui {
namespace {

using namespace objscope::audio;

constexpr uint16_t kTwoWayCrossover = 200;
constexpr int kInk = 0x40;  // antialiased text: any pixel this bright belongs to a glyph

// The crossovers' dB labels: silver, yellow while the graph has the keyboard
// (left of the axis nothing else is drawn but the frame's left line).
bool DbLabelInk(QRgb pixel) {
    return qGreen(pixel) >= kInk && qBlue(pixel) <= qGreen(pixel) && qRed(pixel) <= qGreen(pixel);
}

// The frequency labels: cyan.
bool FrequencyLabelInk(QRgb pixel) {
    return qGreen(pixel) >= kInk && qRed(pixel) < kInk && qBlue(pixel) >= kInk;
}

class ResponseGraph : public GuiSession {
  protected:
    void SetUp() override { StartSession(); }

    TCrossoverEditorBase* OpenCrossover() {
        return dynamic_cast<TCrossoverEditorBase*>(EditUploadedObject(kTwoWayCrossover));
    }
    static QImage Picture(QWidget* graph) {
        return graph->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// Output "L" of the two-way crossover passes 110 Hz unchanged (a column on no
// vertical grid line): its curve lies on the 0 dB line of the "Center"
// setting, grid row 126.
TEST_F(ResponseGraph, ACrossoverOutputAtZeroDecibelsLiesOnTheGridLine) {
    TCrossoverEditorBase* form = OpenCrossover();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->OutputGainDb(0), 0);
    const int column = CrossoverColumn(110);
    const size_t point = static_cast<size_t>(column - peq_graph::kPlotLeft);
    ASSERT_EQ(form->OutputCurves(0).gain[point], 0);  // no loss at 110 Hz
    const int zeroLine = peq_graph::kFirstGridRow + 4 * peq_graph::kGridRowStep;
    const QImage picture = Picture(form->Graph());
    const QRgb onLine = picture.pixel(column, zeroLine);
    EXPECT_NE(onLine, qRgb(0x50, 0x50, 0x50)) << "the grid line shows: the curve is not on it";
    EXPECT_NE(onLine, qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(column, zeroLine - 2), qRgb(0, 0, 0)) << "a curve 2 rows above";
}

// Every dB label straddles its grid line, every label is drawn inside the
// place laid out for it, and no two frequency labels touch, in both grids.
TEST_F(ResponseGraph, LabelsSitOnTheirLinesAndKeepApart) {
    TCrossoverEditorBase* form = OpenCrossover();
    ASSERT_NE(form, nullptr);
    auto* scaling = form->findChild<QComboBox*>("ScalingCombo");
    ASSERT_NE(scaling, nullptr);
    for (const QString& grid : {QString("Octave"), QString("Decade")}) {
        SCOPED_TRACE(grid.toStdString());
        scaling->setCurrentIndex(scaling->findText(grid));
        WaitFor([] { return false; }, 50);
        PeqDisplay display;
        display.decade = grid == "Decade";
        const GraphLabels labels = LayOutGraphLabels(display, QGuiApplication::font());
        const QImage picture = Picture(form->Graph());
        if (const char* folder = std::getenv("VEK_GRAPH_PICTURES"))
            picture.save(QString("%1/labels-%2.png").arg(folder, grid));

        ASSERT_EQ(labels.db.size(), 9u);
        for (size_t i = 0; i < labels.db.size(); ++i) {
            const int line = LabelGridRow(i);
            int top = -1, bottom = -1;
            for (int y = line - 11; y <= line + 10; ++y)
                for (int x = 1; x < peq_graph::kPlotLeft; ++x)
                    if (DbLabelInk(picture.pixel(x, y))) {
                        top = top < 0 ? y : top;
                        bottom = y;
                        EXPECT_TRUE(labels.db[i].box.contains(x, y)) << x << "," << y;
                    }
            EXPECT_LT(top, line) << labels.db[i].text.toStdString();
            EXPECT_GT(bottom, line) << labels.db[i].text.toStdString();
        }

        for (size_t i = 1; i < labels.frequency.size(); ++i)
            EXPECT_GE(labels.frequency[i].box.left(), labels.frequency[i - 1].box.right() + 2)
                << labels.frequency[i - 1].text.toStdString() << " | "
                << labels.frequency[i].text.toStdString();
        EXPECT_LE(labels.frequency.back().box.right(), peq_graph::kWidth - 3);
        for (int y = peq_graph::kPlotBottom + 1; y < peq_graph::kHeight - 2; ++y)
            for (int x = 0; x < peq_graph::kWidth - 2; ++x) {
                if (!FrequencyLabelInk(picture.pixel(x, y)))
                    continue;
                bool inside = false;
                for (const GraphLabel& label : labels.frequency)
                    inside = inside || label.box.contains(x, y);
                EXPECT_TRUE(inside) << "label ink outside its place at " << x << "," << y;
            }
    }
}

// Both edges at 800 Hz share a column: "U" (output L's upper edge) at row 4,
// "L" (output H's lower edge) at row 18. Each press takes the one it hits.
TEST_F(ResponseGraph, APressOnAnEdgeMarkerTakesTheMarkerOfItsRow) {
    TCrossoverEditorBase* form = OpenCrossover();
    ASSERT_NE(form, nullptr);
    const int x = CrossoverColumn(800);
    ASSERT_EQ(EdgeMarkerCentre(form->EdgeFrequency(0, true), true).x(), x);
    ASSERT_EQ(EdgeMarkerCentre(form->EdgeFrequency(1, false), false).x(), x);
    const auto selected = [&] {
        return std::make_pair(form->SelectedOutput(), form->UpperSelected());
    };
    QTest::mouseClick(form->Graph(), Qt::LeftButton, {}, QPoint(x, kLowerMarkerRow + 3));
    EXPECT_EQ(selected(), std::make_pair(1, false));
    QTest::mouseClick(form->Graph(), Qt::LeftButton, {}, QPoint(x + 1, kUpperMarkerRow + 2));
    EXPECT_EQ(selected(), std::make_pair(0, true));
    QTest::mouseClick(form->Graph(), Qt::LeftButton, {}, QPoint(x - 2, kLowerMarkerRow + 5));
    EXPECT_EQ(selected(), std::make_pair(1, false));
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace objscope_gui
