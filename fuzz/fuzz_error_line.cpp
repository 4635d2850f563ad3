// SPDX-License-Identifier: MIT
// Reading the source line out of an error-list entry, and a driver's message out of a log line.
// The raw input is read as entries and log lines; the same bytes also build an entry in one of
// the drivers' forms, whose line number, severity and text are known.
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"
#include "compile/info_log.h"
#include "texts/win1252.h"

#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <cstdint>
#include <limits>

using namespace tessory;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The value of the decimal digits, or kMax when they stand for more.
qint64 saturated(QStringView digits) {
    __int128 value = 0;
    for (QChar c : digits) {
        value = std::min<__int128>(value * 10 + (c.unicode() - u'0'), __int128(kMax) + 1);
    }
    return value > kMax ? kMax : qint64(value);
}

// Whether the entry holds the number as a run of digits (behind a "-" when negative).
bool mentions(QStringView entry, qint64 number) {
    for (qsizetype a = 0; a < entry.size();) {
        if (!isDigit(entry[a])) {
            ++a;
            continue;
        }
        qsizetype b = a;
        while (b < entry.size() && isDigit(entry[b])) {
            ++b;
        }
        const qint64 value = saturated(entry.sliced(a, b - a));
        const bool minus = a > 0 && entry[a - 1] == u'-';
        if (number >= 0 ? value == number : (minus && value == -number)) {
            return true;
        }
        a = b;
    }
    return false;
}

const QString kVertexTag = fromWin1252(kVertexSuffix);
const QString kFragmentTag = fromWin1252(kFragmentSuffix);

void checkEntry(QStringView entry) {
    const ShaderMessage message = errorListEntry(entry);
    const std::optional<qint64> index = message.lineIndex();
    if (index) {
        // A line number comes from the digits of the entry; 0 and 1 both lead to the first line.
        // The last character of an entry in "(" form is never read, so a number there may be
        // cut short by it.
        const QStringView read = entry.startsWith(u'(') ? entry.chopped(1) : entry;
        FUZZ_CHECK(*index == 0 ? mentions(read, 0) || mentions(read, 1)
                               : mentions(read, *index + 1));
        FUZZ_CHECK(*index >= 0 || entry.startsWith(u'('));
        // The drivers' forms are read at the start, so the tag the error list appends is no part
        // of them.
        if (!entry.startsWith(u'(')) {
            FUZZ_CHECK(errorListEntry(entry.toString() + kVertexTag).lineIndex() == index);
        }
    }
    // The error list's message of an entry goes where the entry's text says; a column only
    // with a line, and never 0.
    FUZZ_CHECK(message.shown == entry && message.pane == errorEntryPane(entry));
    FUZZ_CHECK(!message.column || (index && *message.column >= 1));
    FUZZ_CHECK(errorEntryPane(entry.toString() + kVertexTag) == PairSide::Vertex);
    if (!entry.contains(u"[VertexShader]")) {
        FUZZ_CHECK(errorEntryPane(entry.toString() + kFragmentTag) == PairSide::Fragment);
    }
}

void checkDriverLine(QStringView line) {
    const ShaderMessage message = parseDriverLine(line);
    const QStringView trimmed = line.trimmed();
    FUZZ_CHECK(trimmed.endsWith(message.text));
    const std::optional<qint64> index = errorListEntry(trimmed).lineIndex();
    if (message.line) {
        FUZZ_CHECK(*message.line >= 1 && index && *index + 1 == *message.line);
    } else {
        FUZZ_CHECK(!index || *index < 0);
    }
    if (message.severity == MessageSeverity::Warning) {
        FUZZ_CHECK(trimmed.contains(u"warning", Qt::CaseInsensitive));
    }
}

// An entry built in one of the drivers' forms, with what reading it must give.
struct Built {
    QString entry;
    qint64 index = 0;
    MessageSeverity severity = MessageSeverity::Error;
    std::optional<QString> text;  // nothing where the form leaves the text to other rules
};

QString digitsFrom(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        // Long enough to pass the largest qint64 now and then.
        QString digits;
        const int n = in.ConsumeIntegralInRange(1, 40);
        for (int k = 0; k < n; ++k) {
            digits.append(QChar(u'0' + in.ConsumeIntegralInRange(0, 9)));
        }
        return digits;
    }
    return QString(in.ConsumeIntegralInRange(0, 2), u'0') +
           QString::number(in.ConsumeIntegral<quint32>());
}

Built buildEntry(FuzzedDataProvider& in) {
    const int form = in.ConsumeIntegralInRange(0, 3);
    const QString lead(in.ConsumeIntegralInRange(0, 2), in.ConsumeBool() ? u' ' : u'\t');
    const QString file = QString::number(in.ConsumeIntegralInRange(0, 99));
    const QString digits = digitsFrom(in);
    const qint64 number = saturated(digits);
    static const QString kWords[] = {{}, "error", "warning", "ERROR", "Warning"};
    const QString word = kWords[in.ConsumeIntegralInRange(0, 4)];
    QString tail = fromWin1252(QByteArray::fromStdString(in.ConsumeRemainingBytesAsString()));
    tail.replace(u'\r', u' ').replace(u'\n', u' ');
    // The message starts with a letter, so that no location or severity word runs on into it.
    const QString message = ("x" + tail).trimmed();

    Built b;
    b.index = number == 0 ? 0 : number - 1;
    b.severity = word.startsWith(u'w', Qt::CaseInsensitive) ? MessageSeverity::Warning
                                                            : MessageSeverity::Error;
    b.text = message;
    const QString said = word.isEmpty() ? QString() : word + ": ";
    switch (form) {
        case 0:  // Mesa
            b.entry = lead + file + ':' + digits + '(' + QString::number(number % 97) +
                      "): " + said + message;
            break;
        case 1:  // NVIDIA, whose severity word comes with a code
            b.entry = lead + file + '(' + digits +
                      ") : " + (word.isEmpty() ? QString() : word + " C1008: ") + message;
            b.text = word.isEmpty() ? message : "C1008: " + message;
            break;
        case 2:  // AMD and Intel, the severity word first
            b.entry = lead + (b.severity == MessageSeverity::Warning ? "WARNING: " : "ERROR: ") +
                      file + ':' + digits + ": " + message;
            break;
        default: {  // the link-log cut: "(" number ")", perhaps signed and padded
            const int sign = in.ConsumeIntegralInRange(0, 2);
            const QString pad(in.ConsumeIntegralInRange(0, 2), u' ');
            const QString signText = sign == 0 ? QString() : QString(sign == 1 ? "+" : "-");
            b.entry = '(' + pad + signText + digits + pad + ") : " + said + message;
            if (sign == 2) {
                b.index = number == 0 ? 0 : -number - 1;
            }
            if (sign != 0) {
                b.text.reset();
            }
        }
    }
    return b;
}

void checkBuilt(const Built& b) {
    FUZZ_CHECK(errorListEntry(b.entry).lineIndex() == b.index);
    FUZZ_CHECK(errorListEntry(b.entry + kVertexTag).lineIndex() == b.index);
    FUZZ_CHECK(errorListEntry(b.entry + kFragmentTag).lineIndex() == b.index);
    const ShaderMessage message = parseDriverLine(b.entry);
    FUZZ_CHECK(message.line == (b.index >= 0 ? std::optional<qint64>(b.index + 1) : std::nullopt));
    FUZZ_CHECK(message.severity == b.severity || !b.text);
    FUZZ_CHECK(!b.text || message.text == *b.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = fromWin1252(bytes);
    checkEntry(text);
    checkDriverLine(text);
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        checkEntry(line);
        checkDriverLine(line);
    }
    FuzzedDataProvider in(data, size);
    checkBuilt(buildEntry(in));
    return 0;
}
