#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <string>

// How a run's journal lies on the disk: a magic line and a version, then
// records, each framed by its length and a checksum, so that a record cut
// short by a kill and a record damaged later can be told from sound ones.
// Numbers are little-endian or variable-length (LEB128; signed ones
// zigzag-coded); names and directories are the UTF-16 units, little-endian,
// of their lossless decoding (NameCodec.h), so that the system's bytes come
// back exactly and a name the run holds is written without encoding it.
namespace journal {

inline constexpr char magic[] = "TESSAVO-JOURNAL\n";
inline constexpr qsizetype magicSize = sizeof magic - 1;
// Version 2 checks its records by CRC-32 instead of MD5, at a fifth of the
// cost per file.
inline constexpr quint32 version = 2;
// The magic line and the version.
inline constexpr qsizetype preambleSize = magicSize + 4;
// Length and checksum in front of every record.
inline constexpr qsizetype frameSize = 8;

enum class RecordType : quint8 {
    Header = 1, // when, which operation, which directories
    Phase,      // a pass of moves from one directory into another
    Intents,    // moves announced before any of them is made
    Events,     // what became of announced moves
    CycleStep,  // the last move of a cycle of names is about to be made
    PhaseEnd,   // a pass has ended; its events are complete
    RunEnd,     // the run has ended, with how many files it moved
    Resolved,   // an interrupted run was put back or kept
    UndoEnd,    // an undo has ended, with what it could not put back
};

QByteArray preamble();

// Appends one framed record to `out`.
void appendRecord(QByteArray& out, RecordType type, QByteArrayView payload);

// Builds a record's payload, a few bytes per move of many thousands: in a
// plain buffer, which appends a byte in a few instructions.
class PayloadWriter {
public:
    void byte(quint8 value) { bytes_.push_back(char(value)); }
    void number(quint64 value) {
        while (value >= 0x80) {
            bytes_.push_back(char(value | 0x80));
            value >>= 7;
        }
        bytes_.push_back(char(value));
    }
    void signedNumber(qint64 value) { number((quint64(value) << 1) ^ quint64(value >> 63)); }
    void text(QByteArrayView value);
    // A name: its length in units, then the units.
    void name(QStringView value);
    void raw(QByteArrayView value) { bytes_.append(value.data(), size_t(value.size())); }

    QByteArrayView bytes() const { return QByteArrayView(bytes_.data(), qsizetype(bytes_.size())); }
    void reserve(qsizetype size) { bytes_.reserve(size_t(size)); }
    void clear() { bytes_.clear(); }
    bool isEmpty() const { return bytes_.empty(); }

private:
    std::string bytes_;
};

// Reads a record's payload; a read past its end or a malformed number makes
// it fail, after which every read yields zero.
class PayloadReader {
public:
    explicit PayloadReader(QByteArrayView bytes) : bytes_(bytes) {}

    quint8 byte();
    quint64 number();
    qint64 signedNumber() {
        const quint64 value = number();
        return qint64(value >> 1) ^ -qint64(value & 1);
    }
    QByteArrayView text();
    QString name();
    // A name's units as they lie in the payload, for copyUnits().
    QByteArrayView nameUnits();
    QByteArrayView raw(qsizetype size);

    bool atEnd() const { return position_ >= bytes_.size(); }
    bool failed() const { return failed_; }

private:
    QByteArrayView bytes_;
    qsizetype position_ = 0;
    bool failed_ = false;
};

// Copies the units read by nameUnits() to `out`.
void copyUnits(QByteArrayView units, QChar* out);

struct Record {
    RecordType type;
    QByteArrayView payload;
};

// What reading a journal's bytes found.
enum class Soundness {
    Sound,        // every record checks; the last may have been cut short by a kill,
                  // and a journal cut short before its header holds none
    Damaged,      // a record in the middle does not check, or none can be read
    OtherVersion, // written by another version of Tessavo
};

struct SplitJournal {
    Soundness soundness = Soundness::Sound;
    quint32 version = 0;
    QList<Record> records;
    qsizetype soundEnd = 0; // where the last sound record ends
};

// Splits a journal's bytes into records, checking every checksum.
SplitJournal splitRecords(QByteArrayView file);

// A record's checksum over its length (the frame's first four bytes) and
// its body.
quint32 checksumOf(QByteArrayView length, QByteArrayView body);

// The length and checksum in front of a record, read from `frame`.
struct Frame {
    quint32 length = 0; // of the type byte and the payload
    quint32 checksum = 0;
};
Frame readFrame(QByteArrayView frame);

} // namespace journal
