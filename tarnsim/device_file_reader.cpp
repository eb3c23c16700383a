// Reading device files: one object line starts each object, the lines after
// it (prop, data, matrix, connect, tests) describe that object.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "model/class_catalogue.h"
#include "protocol/tarn_device_properties.h"
#include "device_file.h"
#include "file_tokens.h"
#include "property_values.h"

namespace tarnsim {
namespace {

constexpr size_t kMaxLineLength = 65536;
constexpr size_t kMaxObjects = 65535;
constexpr size_t kMaxDataBlock = 65535;
constexpr uint16_t kMaxMatrixSide = 256;
constexpr uint16_t kMaxSampleCount = 2000;
constexpr uint16_t kDefaultDeviceClass = 17;  // "Device Manager"

[[noreturn]] void fail(const std::string& message) {
    throw std::invalid_argument(message);
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// An unsigned integer in decimal or with 0x; `what` names it in errors.
uint64_t parseUnsigned(const Token& token, uint64_t max, const std::string& what) {
    std::string_view text = token.text;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (token.quoted || text.empty() || error != std::errc() || end != text.data() + text.size())
        fail(what + " \"" + token.text + "\" is not a whole number");
    if (value > max)
        fail(what + " " + token.text + " is above " + std::to_string(max));
    return value;
}

uint16_t parseHandle(const Token& token, const std::string& what) {
    if (lower(token.text) == "none" && !token.quoted)
        return kNoOwner;
    return static_cast<uint16_t>(parseUnsigned(token, 65535, what));
}

double parseNumber(const Token& token, const std::string& what) {
    std::string text = lower(token.text);
    if (text == "true")
        return 1;
    if (text == "false")
        return 0;
    double value = 0;
    auto [end, error] =
        std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
    if (token.quoted || token.text.empty() || error != std::errc() ||
        end != token.text.data() + token.text.size() || !std::isfinite(value))
        fail(what + " \"" + token.text + "\" is not a number");
    return value;
}

bool isFlagWord(const Token& token) {
    if (token.quoted)
        return false;
    std::string word = lower(token.text);
    return word == "readonly" || word == "wiggle" || word == "min" || word == "max" ||
           word == "text";
}

// "IN:OUT" of a matrix crosspoint.
std::pair<uint8_t, uint8_t> parseCrosspoint(const Token& token, const MatrixState& matrix) {
    auto colon = token.text.find(':');
    if (token.quoted || colon == std::string::npos)
        fail("crosspoint \"" + token.text + "\" is not INPUT:OUTPUT");
    Token in{token.text.substr(0, colon), false};
    Token out{token.text.substr(colon + 1), false};
    auto input = parseUnsigned(in, 255, "matrix input");
    auto output = parseUnsigned(out, 255, "matrix output");
    if (input < 1 || input > matrix.inputs || output < 1 || output > matrix.outputs)
        fail("crosspoint " + token.text + " lies outside the " + std::to_string(matrix.inputs) +
             " x " + std::to_string(matrix.outputs) + " matrix");
    return {static_cast<uint8_t>(input), static_cast<uint8_t>(output)};
}

class Reader {
  public:
    DeviceContents finish();
    void line(const std::vector<Token>& tokens);

  private:
    DeviceObject& current(const std::string& keyword);
    void objectLine(const std::vector<Token>& tokens);
    void propLine(const std::vector<Token>& tokens);
    void dataLine(const std::vector<Token>& tokens);
    void matrixLine(const std::vector<Token>& tokens);
    void connectLine(const std::vector<Token>& tokens, size_t first);
    void testsLine(const std::vector<Token>& tokens);
    size_t readValue(DeviceProperty& property, const std::vector<Token>& tokens, size_t pos);
    void readFlags(DeviceProperty& property, const std::vector<Token>& tokens, size_t pos);

    DeviceContents contents_;
    std::vector<size_t> objectLines_;
    std::set<uint16_t> handles_;

  public:
    size_t lineNumber = 0;
};

DeviceObject& Reader::current(const std::string& keyword) {
    if (contents_.objects.empty())
        fail("\"" + keyword + "\" before the first object line");
    return contents_.objects.back();
}

void Reader::line(const std::vector<Token>& tokens) {
    if (tokens.empty())
        return;
    std::string keyword = lower(tokens[0].text);
    if (tokens[0].quoted)
        fail("a line starts with a keyword, not with quoted text");
    if (keyword == "object")
        objectLine(tokens);
    else if (keyword == "prop")
        propLine(tokens);
    else if (keyword == "data")
        dataLine(tokens);
    else if (keyword == "matrix")
        matrixLine(tokens);
    else if (keyword == "connect")
        connectLine(tokens, 1);
    else if (keyword == "tests")
        testsLine(tokens);
    else
        fail("unknown keyword \"" + tokens[0].text +
             "\" (expected object, prop, data, matrix, connect or tests)");
}

void Reader::objectLine(const std::vector<Token>& tokens) {
    // object HANDLE class CLASS [owner HANDLE|none]
    if (tokens.size() != 4 && tokens.size() != 6)
        fail("expected: object HANDLE class CLASS [owner HANDLE|none]");
    if (lower(tokens[2].text) != "class" ||
        (tokens.size() == 6 && lower(tokens[4].text) != "owner"))
        fail("expected: object HANDLE class CLASS [owner HANDLE|none]");
    if (contents_.objects.size() >= kMaxObjects)
        fail("too many objects");
    DeviceObject object;
    object.handle = static_cast<uint16_t>(parseUnsigned(tokens[1], 65534, "object handle"));
    object.classId = static_cast<uint16_t>(parseUnsigned(tokens[3], 65535, "class ID"));
    if (tokens.size() == 6)
        object.owner = parseHandle(tokens[5], "owner handle");
    if (!handles_.insert(object.handle).second)
        fail("object " + std::to_string(object.handle) + " is defined twice");
    if (object.owner == object.handle)
        fail("object " + std::to_string(object.handle) + " cannot own itself");
    if (object.handle == objscope::kDeviceObjectHandle && object.owner != kNoOwner)
        fail("the device object 0 has no owner");
    contents_.objects.push_back(std::move(object));
    objectLines_.push_back(lineNumber);
}

void Reader::propLine(const std::vector<Token>& tokens) {
    // prop ID TYPE VALUE... [readonly] [wiggle] [min X] [max X] [text "T"]
    DeviceObject& object = current("prop");
    if (tokens.size() < 3)
        fail("expected: prop ID TYPE VALUE [readonly] [wiggle] [min X] [max X] [text \"T\"]");
    DeviceProperty property;
    property.id = static_cast<uint16_t>(parseUnsigned(tokens[1], 65535, "property ID") & 0x3FFF);
    if (objscope::IsIdentityProperty(property.id))
        fail("property " + std::to_string(property.id) +
             " follows from the object line (class, handle, owner)");
    if (object.find(property.id) != nullptr)
        fail("property " + std::to_string(property.id) + " is given twice for object " +
             std::to_string(object.handle));
    auto code = typeCodeFromText(tokens[2].text);
    if (!code || tokens[2].quoted)
        fail("unknown value type \"" + tokens[2].text + "\"");
    if (valueKindOf(*code) == ValueKind::Unsupported)
        fail("value type " + std::to_string(*code) + " cannot carry a value");
    property.typeCode = *code;
    size_t pos = readValue(property, tokens, 3);
    readFlags(property, tokens, pos);
    object.properties.push_back(std::move(property));
}

size_t Reader::readValue(DeviceProperty& property, const std::vector<Token>& tokens, size_t pos) {
    const uint8_t code = property.typeCode;
    auto need = [&](const std::string& what) -> const Token& {
        if (pos >= tokens.size() || isFlagWord(tokens[pos]))
            fail("property " + std::to_string(property.id) + " needs " + what);
        return tokens[pos++];
    };
    switch (valueKindOf(code)) {
        case ValueKind::Text: {
            const Token& token = need("a quoted text");
            if (!token.quoted)
                fail("the text of property " + std::to_string(property.id) + " must be quoted");
            if (token.text.size() > maxVariableSize(code))
                fail("text of property " + std::to_string(property.id) + " is longer than " +
                     std::to_string(maxVariableSize(code)) + " characters");
            property.value.assign(token.text.begin(), token.text.end());
            return pos;
        }
        case ValueKind::Address: {
            uint64_t first = parseUnsigned(need("two numbers"), 0xFFFFFFFF, "address part");
            uint64_t second = parseUnsigned(need("two numbers"), 0xFFFF, "address part");
            for (int i = 0; i < 4; ++i)
                property.value.push_back(static_cast<uint8_t>(first >> (8 * i)));
            property.value.push_back(static_cast<uint8_t>(second));
            property.value.push_back(static_cast<uint8_t>(second >> 8));
            return pos;
        }
        case ValueKind::Numbers:
        case ValueKind::Bytes: {
            bool numbers = valueKindOf(code) == ValueKind::Numbers;
            while (pos < tokens.size() && !isFlagWord(tokens[pos])) {
                if (numbers) {
                    auto n = parseUnsigned(tokens[pos++], 65535, "list number");
                    property.value.push_back(static_cast<uint8_t>(n));
                    property.value.push_back(static_cast<uint8_t>(n >> 8));
                } else {
                    Token hex{"0x" + tokens[pos].text, tokens[pos].quoted};
                    ++pos;
                    property.value.push_back(static_cast<uint8_t>(parseUnsigned(hex, 255, "byte")));
                }
                if (property.value.size() > maxVariableSize(code))
                    fail("property " + std::to_string(property.id) + " holds more than " +
                         std::to_string(maxVariableSize(code)) + " bytes");
            }
            return pos;
        }
        default: {
            double value = parseNumber(need("a value"), "value");
            auto wire = wireBytesFor(code, value);
            if (!wire)
                fail("value " + tokens[pos - 1].text + " does not fit type " +
                     std::to_string(code));
            property.value = std::move(*wire);
            return pos;
        }
    }
}

void Reader::readFlags(DeviceProperty& property, const std::vector<Token>& tokens, size_t pos) {
    bool numeric = fixedWireSize(property.typeCode) != 0 &&
                   valueKindOf(property.typeCode) != ValueKind::Address;
    while (pos < tokens.size()) {
        std::string word = lower(tokens[pos].text);
        if (tokens[pos].quoted || !isFlagWord(tokens[pos]))
            fail("unexpected \"" + tokens[pos].text + "\" after the value of property " +
                 std::to_string(property.id));
        ++pos;
        if (word == "readonly") {
            property.readOnly = true;
        } else if (word == "text") {
            if (pos >= tokens.size() || !tokens[pos].quoted)
                fail("\"text\" needs a quoted text");
            if (tokens[pos].text.size() > kMaxDescriptionLength)
                fail("the text of property " + std::to_string(property.id) + " is longer than " +
                     std::to_string(kMaxDescriptionLength) + " characters");
            property.text = tokens[pos++].text;
        } else if (word == "wiggle") {
            if (!numeric)
                fail("only numeric properties can wiggle");
            property.wiggle = true;
        } else {
            if (!numeric)
                fail("only numeric properties have limits");
            if (pos >= tokens.size())
                fail("\"" + word + "\" needs a number");
            double limit = parseNumber(tokens[pos++], word);
            (word == "min" ? property.min : property.max) = limit;
        }
    }
    if (numeric) {
        double value = *engineeringValue(property.typeCode, property.value);
        if (property.lowerLimit() > property.upperLimit())
            fail("min is above max");
        if (value < property.lowerLimit() || value > property.upperLimit())
            fail("value of property " + std::to_string(property.id) + " lies outside its limits");
    }
}

void Reader::dataLine(const std::vector<Token>& tokens) {
    DeviceObject& object = current("data");
    if (!object.dataBlock)
        object.dataBlock.emplace();
    for (size_t i = 1; i < tokens.size(); ++i) {
        Token hex{"0x" + tokens[i].text, tokens[i].quoted};
        object.dataBlock->push_back(static_cast<uint8_t>(parseUnsigned(hex, 255, "data byte")));
        if (object.dataBlock->size() > kMaxDataBlock)
            fail("data block is longer than " + std::to_string(kMaxDataBlock) + " bytes");
    }
}

void Reader::matrixLine(const std::vector<Token>& tokens) {
    // matrix INPUTS OUTPUTS [IN:OUT ...]
    DeviceObject& object = current("matrix");
    if (tokens.size() < 3)
        fail("expected: matrix INPUTS OUTPUTS [INPUT:OUTPUT ...]");
    if (object.matrix)
        fail("object " + std::to_string(object.handle) + " has two matrix lines");
    MatrixState matrix;
    matrix.inputs = static_cast<uint16_t>(parseUnsigned(tokens[1], kMaxMatrixSide, "input count"));
    matrix.outputs =
        static_cast<uint16_t>(parseUnsigned(tokens[2], kMaxMatrixSide, "output count"));
    if (matrix.inputs == 0 || matrix.outputs == 0)
        fail("a matrix has at least one input and one output");
    object.matrix = matrix;
    connectLine(tokens, 3);
}

void Reader::connectLine(const std::vector<Token>& tokens, size_t first) {
    DeviceObject& object = current("connect");
    if (!object.matrix)
        fail("\"connect\" needs a matrix line first");
    for (size_t i = first; i < tokens.size(); ++i)
        object.matrix->connected.insert(parseCrosspoint(tokens[i], *object.matrix));
}

void Reader::testsLine(const std::vector<Token>& tokens) {
    // tests RUNS RESULTS_PER_RUN EOB_RECORDS
    DeviceObject& object = current("tests");
    if (tokens.size() != 4)
        fail("expected: tests RUNS RESULTS_PER_RUN EOB_RECORDS");
    auto runs = parseUnsigned(tokens[1], kMaxSampleCount, "run count");
    auto results = parseUnsigned(tokens[2], kMaxSampleCount, "results per run");
    auto eob = parseUnsigned(tokens[3], kMaxSampleCount, "EOB record count");
    object.tests = makeSampleTests(static_cast<uint16_t>(runs), static_cast<uint16_t>(results),
                                   static_cast<uint16_t>(eob));
}

DeviceContents Reader::finish() {
    for (size_t i = 0; i < contents_.objects.size(); ++i) {
        const DeviceObject& object = contents_.objects[i];
        if (object.owner != kNoOwner && !contents_.find(object.owner))
            throw DeviceFileError(objectLines_[i], "owner " + std::to_string(object.owner) +
                                                       " of object " +
                                                       std::to_string(object.handle) +
                                                       " is not an object of this device");
    }
    auto device = std::find_if(contents_.objects.begin(), contents_.objects.end(),
                               [](const DeviceObject& o) { return o.handle == 0; });
    if (device == contents_.objects.end()) {
        contents_.objects.insert(contents_.objects.begin(), makeDeviceObject(kDefaultDeviceClass));
    } else if (device != contents_.objects.begin()) {
        std::rotate(contents_.objects.begin(), device, device + 1);
    }
    DeviceObject defaults = makeDeviceObject(contents_.objects.front().classId);
    for (const auto& property : defaults.properties) {
        if (!contents_.objects.front().find(property.id))
            contents_.objects.front().properties.push_back(property);
    }
    for (auto& object : contents_.objects)
        completeObject(object);
    return std::move(contents_);
}

}  // namespace

DeviceContents parseDeviceFile(std::string_view text) {
    Reader reader;
    size_t start = 0;
    while (start < text.size()) {
        ++reader.lineNumber;
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        try {
            if (line.size() > kMaxLineLength)
                fail("line is longer than 65536 characters");
            if (line.find('\0') != std::string_view::npos)
                fail("line holds a zero byte");
            reader.line(splitLine(line));
        } catch (const std::invalid_argument& error) {
            throw DeviceFileError(reader.lineNumber, error.what());
        }
    }
    return reader.finish();
}

DeviceContents loadDeviceFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw DeviceFileError(0, "cannot be read", path);
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        throw DeviceFileError(0, "cannot be read", path);
    try {
        return parseDeviceFile(text.str());
    } catch (const DeviceFileError& error) {
        throw DeviceFileError(error.line(), error.message(), path);
    }
}

}  // namespace tarnsim
