#include "model/object_factory.h"

#include <map>
#include <mutex>

#include "model/object_audio_bases.h"

namespace objscope {
namespace {

enum class BaseKind {
    Root,
    AudioElement,
    AudioObjectInput,
    AudioObjectOutput,
    InputGainControl,
    OutputGainControl,
    InlineAudioProcessing,
    ComplexAudioObject,
};

struct NamedBase {
    const char* className;
    BaseKind kind;
};

// The classes of the object model itself.
constexpr NamedBase kBuiltIn[] = {
    {"TVEKroot", BaseKind::Root},
    {"TAudioElement", BaseKind::AudioElement},
    {"TAudioObjectInput", BaseKind::AudioObjectInput},
    {"TAudioObjectOutput", BaseKind::AudioObjectOutput},
    {"TInputGainControl", BaseKind::InputGainControl},
    {"TOutputGainControl", BaseKind::OutputGainControl},
    {"TInlineAudioProcessing", BaseKind::InlineAudioProcessing},
    {"TComplexAudioObject", BaseKind::ComplexAudioObject},
};

// The specialised audio classes and the base that stands in for each until
// its unit registers it.
constexpr NamedBase kFallbacks[] = {
    {"TSignalDelay", BaseKind::InlineAudioProcessing},
    {"TU32Limiter", BaseKind::InlineAudioProcessing},
    {"TGeqFilterBand", BaseKind::InlineAudioProcessing},
    {"TU32Compressor", BaseKind::InlineAudioProcessing},
    {"TU32SampleDelay", BaseKind::InlineAudioProcessing},
    {"TU32GainControl", BaseKind::InlineAudioProcessing},
    {"TU32NoiseGate", BaseKind::InlineAudioProcessing},
    {"TU32AutoMixerGate", BaseKind::InlineAudioProcessing},
    {"TU32SignalDelayLine", BaseKind::InlineAudioProcessing},
    {"TU32DelayLineAutoCalc", BaseKind::InlineAudioProcessing},
    {"TPeqFilterBand", BaseKind::InlineAudioProcessing},
    {"TU32IntGainCtrl", BaseKind::InlineAudioProcessing},
    {"TU32ZCGainCtrl", BaseKind::InlineAudioProcessing},
    {"TU32ProgGainControl", BaseKind::InlineAudioProcessing},
    {"TU32EnvelopeDetector", BaseKind::InlineAudioProcessing},
    {"TU32AudioComparator", BaseKind::InlineAudioProcessing},
    {"TU32SignalSelector", BaseKind::ComplexAudioObject},
    {"TU32SpcSignalSelector", BaseKind::ComplexAudioObject},
    {"TU32Mixer", BaseKind::ComplexAudioObject},
    {"TU32SpecialMixer", BaseKind::ComplexAudioObject},
    {"TU32Peq", BaseKind::ComplexAudioObject},
    {"TU32EQ1_3", BaseKind::ComplexAudioObject},
    {"TU32CrossOver", BaseKind::ComplexAudioObject},
    {"TU32CrossOverBand", BaseKind::ComplexAudioObject},
    {"TU32LinkWitz", BaseKind::ComplexAudioObject},
    {"TU32LWCrossOverBand", BaseKind::ComplexAudioObject},
    {"TU32MatrixRouter", BaseKind::ComplexAudioObject},
    {"TU32MatrixCombiner", BaseKind::ComplexAudioObject},
    {"TU32AutoMixer", BaseKind::ComplexAudioObject},
    {"TU32PageZone", BaseKind::ComplexAudioObject},
    {"TU32ZoneManager", BaseKind::ComplexAudioObject},
    {"TU32DuckableInput", BaseKind::InputGainControl},
    {"TU32Meter", BaseKind::AudioElement},
    {"TU32DAChannel", BaseKind::AudioElement},
    {"TU32ADChannel", BaseKind::AudioElement},
    {"TU32CardConnector", BaseKind::AudioElement},
    {"TU32CardOutput", BaseKind::AudioElement},
    {"TU32CardInput", BaseKind::AudioElement},
};

std::unique_ptr<TVEKroot> CreateBase(BaseKind kind) {
    switch (kind) {
        case BaseKind::Root:
            return std::make_unique<TVEKroot>();
        case BaseKind::AudioElement:
            return std::make_unique<TAudioElement>();
        case BaseKind::AudioObjectInput:
            return std::make_unique<TAudioObjectInput>();
        case BaseKind::AudioObjectOutput:
            return std::make_unique<TAudioObjectOutput>();
        case BaseKind::InputGainControl:
            return std::make_unique<TInputGainControl>();
        case BaseKind::OutputGainControl:
            return std::make_unique<TOutputGainControl>();
        case BaseKind::InlineAudioProcessing:
            return std::make_unique<TInlineAudioProcessing>();
        case BaseKind::ComplexAudioObject:
            return std::make_unique<TComplexAudioObject>();
    }
    return nullptr;
}

template <size_t N>
const NamedBase* FindNamed(const NamedBase (&table)[N], std::string_view className) {
    for (const auto& row : table) {
        if (className == row.className)
            return &row;
    }
    return nullptr;
}

struct Registry {
    std::mutex lock;
    std::map<std::string, ClassIdObjectFactory, std::less<>> factories;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

ClassIdObjectFactory RegisteredFactory(std::string_view className) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = registry.factories.find(className);
    return found != registry.factories.end() ? found->second : ClassIdObjectFactory{};
}

}  // namespace

void RegisterObjectClass(std::string className, ClassIdObjectFactory factory) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.factories[std::move(className)] = std::move(factory);
}

void RegisterObjectClass(std::string className, ObjectFactory factory) {
    RegisterObjectClass(std::move(className),
                        ClassIdObjectFactory([made = std::move(factory)](uint16_t) {
                            return made ? made() : nullptr;
                        }));
}

void UnregisterObjectClass(std::string_view className) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = registry.factories.find(className);
    if (found != registry.factories.end())
        registry.factories.erase(found);
}

std::unique_ptr<TVEKroot> CreateObjectOfClass(std::string_view className, uint16_t classId) {
    if (ClassIdObjectFactory factory = RegisteredFactory(className)) {
        // A registered class serves every class ID of its name (TU32Meter
        // for 67 and 71): the object carries the one asked for.
        auto object = factory(classId);
        if (object)
            object->SetClassID(classId);
        return object;
    }
    if (const NamedBase* builtIn = FindNamed(kBuiltIn, className))
        return CreateBase(builtIn->kind);
    const NamedBase* fallback = FindNamed(kFallbacks, className);
    if (!fallback)
        return nullptr;
    auto object = CreateBase(fallback->kind);
    object->SetClassID(classId);
    return object;
}

}  // namespace objscope
