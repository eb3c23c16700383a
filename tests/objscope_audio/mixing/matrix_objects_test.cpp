// The matrix router and combiner: their outputs as internal selectors and
// mixers, the crosspoints as the mutes of those inputs, and the rebuild
// from a device listing.
#include "audio/mixing/matrix_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace objscope;
using namespace objscope::audio;

namespace {

// Row per output: '1' connected, '.' not.
std::vector<std::string> Grid(const TMatrixBase& matrix) {
    std::vector<std::string> rows;
    for (int o = 1; o <= matrix.OutputCount(); ++o) {
        std::string row;
        for (int i = 1; i <= matrix.InputCount(); ++i)
            row += matrix.Connected(o, i) ? '1' : '.';
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(MatrixRouter, NewRouterWithFourOutputsSelectsInputsOneToFour) {
    TU32MatrixRouter router;
    EXPECT_EQ(router.ClassID(), 68);
    EXPECT_EQ(router.ObjectName(), "Matrix Router");
    EXPECT_EQ(router.OutputCount(), 0) << "made with none";
    EXPECT_EQ(router.NumOwnedObjs, 0);
    router.SetAddress(0, 1, 440);
    // Either order of setting the sizes gives the same router.
    for (bool inputsFirst : {true, false}) {
        TU32MatrixRouter r;
        r.SetAddress(0, 1, 440);
        if (inputsFirst)
            r.SetNumInputs(4);
        r.SetNumOutputs(4);
        r.SetNumInputs(4);
        EXPECT_EQ(r.NumOwnedObjs, 4);
        EXPECT_EQ(Grid(r), (std::vector<std::string>{"1...", ".1..", "..1.", "...1"}));
        for (int o = 1; o <= 4; ++o) {
            TU32SpcSignalSelector* selector = r.Selector(o);
            ASSERT_NE(selector, nullptr);
            EXPECT_EQ(selector->Selection(), o);
            EXPECT_EQ(selector->ObjectName(), "Internal Selector " + std::to_string(o));
            EXPECT_EQ(selector->TagField(), o);
            EXPECT_EQ(selector->OwnerHandle(), 440);
            EXPECT_EQ(selector->UserData(), "s");
        }
    }
    EXPECT_EQ(router.FindProperty(3072)->Name(), "Mute All?");
    EXPECT_EQ(router.FindProperty(3073)->Name(), "Force One Sel All?");
}

TEST(MatrixRouter, NewOutputsCopyTheInputsOfTheFirst) {
    TU32MatrixRouter router;
    router.SetNumInputs(3);
    router.SetNumOutputs(1);
    router.Selector(1)->SetInputName(2, "Lectern");
    router.Selector(1)->SetInputNode(2, 41);
    router.Selector(1)->Input(2)->SetObjectName("Mic 2");
    router.SetNumOutputs(3);
    EXPECT_EQ(router.Selector(3)->GetInputName(2), "Lectern");
    EXPECT_EQ(router.Selector(3)->GetInputNode(2), 41);
    EXPECT_EQ(router.Selector(3)->Input(2)->ObjectName(), "Mic 2");
    router.SetNumOutputs(300);
    EXPECT_EQ(router.OutputCount(), 256);
    router.SetNumOutputs(2);
    EXPECT_EQ(router.OutputCount(), 2);
    router.SetNumInputs(1000);
    EXPECT_EQ(router.InputCount(), 256);
    EXPECT_EQ(router.Selector(2)->InputCount(), 256);
}

TEST(MatrixCombiner, DefaultsAndCrosspointsAsInputMutes) {
    TU32MatrixCombiner combiner;
    EXPECT_EQ(combiner.ClassID(), 69);
    EXPECT_EQ(combiner.InputCount(), 1);
    EXPECT_EQ(combiner.OutputCount(), 1);
    EXPECT_EQ(combiner.Mode(), TCombiningMode::kSwitchRouter);
    EXPECT_EQ(combiner.FindProperty(4096)->Name(), "Self-Routing?");
    EXPECT_EQ(combiner.FindProperty(4097)->Name(), "Combining Mode");
    combiner.SetNumInputs(3);
    combiner.SetNumOutputs(2);
    EXPECT_EQ(Grid(combiner), (std::vector<std::string>{"1..", ".1."}));
    EXPECT_EQ(combiner.Mixer(2)->ObjectName(), "Internal Mixer 2");
    EXPECT_EQ(combiner.Mixer(2)->UserData(), "m");
    combiner.SetConnected(2, 3, true);
    EXPECT_FALSE(IsMuted(*combiner.Mixer(2)->Input(3)));
    combiner.SetNumInputs(4);
    EXPECT_EQ(Grid(combiner), (std::vector<std::string>{"1...", ".11."}))
        << "new inputs start disconnected, old crosspoints stay";
    EXPECT_FALSE(combiner.Connected(3, 1));
    EXPECT_FALSE(combiner.Connected(1, 9));

    ObjectList list;
    combiner.CollectObjects(list);
    ASSERT_EQ(list.size(), 1u + 2 * 6);
    EXPECT_EQ(list[1], combiner.Mixer(1));
    EXPECT_EQ(list[2], combiner.Mixer(1)->Output());
    EXPECT_EQ(list[7], combiner.Mixer(2));
}

TEST(MatrixCombiner, RebuildPlacesOutputsByTagAndTakesOnlyItsKind) {
    TU32MatrixCombiner combiner;
    combiner.ClearOwnedObjects();
    EXPECT_EQ(combiner.OutputCount(), 0);
    auto mixer = [](int tag, int inputs) {
        auto m = std::make_unique<TU32SpecialMixer>();
        m->SetTagField(static_cast<uint8_t>(tag));
        m->SetNumInputs(static_cast<uint16_t>(inputs));
        return m;
    };
    EXPECT_EQ(combiner.AddOwnedObject(mixer(2, 3)), nullptr);
    EXPECT_EQ(combiner.AddOwnedObject(mixer(1, 3)), nullptr);
    EXPECT_NE(combiner.AddOwnedObject(std::make_unique<TU32SpcSignalSelector>()), nullptr);
    EXPECT_EQ(combiner.OutputCount(), 2);
    EXPECT_EQ(combiner.InputCount(), 3);
    EXPECT_EQ(combiner.NumOwnedObjs, 2);
    EXPECT_EQ(combiner.AddOwnedObject(mixer(0, 3)), nullptr) << "tag 0 stands for output 256";
    EXPECT_EQ(combiner.OutputCount(), 256);
    EXPECT_EQ(combiner.Output(100), nullptr);
    EXPECT_EQ(TMatrixBase::TagOfOutput(256), 0);
    EXPECT_EQ(TMatrixBase::OutputOfTag(0), 256);

    TU32MatrixRouter router;
    EXPECT_NE(router.AddOwnedObject(mixer(1, 2)), nullptr) << "a router keeps selectors only";

    // A listing hands an output its inputs after the output itself.
    TU32MatrixCombiner listed;
    listed.ClearOwnedObjects();
    auto empty = mixer(1, 0);
    TU32SpecialMixer* first = empty.get();
    listed.AddOwnedObject(std::move(empty));
    EXPECT_EQ(listed.InputCount(), 0);
    for (int k = 1; k <= 3; ++k) {
        auto input = std::make_unique<TInputGainControl>();
        input->SetTagField(static_cast<uint8_t>(k));
        first->AddOwnedObject(std::move(input));
    }
    EXPECT_EQ(listed.InputCount(), 3);
}
