#include "TagLibReader.h"

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <memory>
#include <optional>
#include <string>

#include "FileStream.h"

namespace kestrune {

namespace {

std::optional<std::string> NonEmpty(const TagLib::String& text) {
    if (text.isEmpty()) return std::nullopt;
    return text.to8Bit(true);
}

std::optional<std::string> Joined(const TagLib::StringList& values) {
    return NonEmpty(values.toString(kTagValueSeparator));
}

// The text of the first frame `id`; several values joined.
std::optional<std::string> FrameText(const TagLib::ID3v2::Tag& tag, const char* id) {
    const TagLib::ID3v2::FrameList& frames = tag.frameList(id);
    if (frames.isEmpty()) return std::nullopt;
    if (const auto* text =
            dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames.front()))
        return Joined(text->fieldList());
    return NonEmpty(frames.front()->toString());
}

// TagLib splits "(17)Hard Rock" into "17" and "Hard Rock"; the two are put back into the form
// the genre rules read, so that the refinement is not lost.
std::optional<std::string> GenreText(const TagLib::ID3v2::Tag& tag) {
    const TagLib::ID3v2::FrameList& frames = tag.frameList("TCON");
    if (frames.isEmpty()) return std::nullopt;
    const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames.front());
    if (text == nullptr) return NonEmpty(frames.front()->toString());
    const TagLib::StringList values = text->fieldList();
    if (values.isEmpty() || values.front().isEmpty()) return std::nullopt;
    bool numberFirst = true;
    for (const wchar_t c : values.front()) numberFirst = numberFirst && c >= L'0' && c <= L'9';
    if (numberFirst && values.size() > 1 && !values[1].isEmpty())
        return "(" + values.front().to8Bit(true) + ")" + values[1].to8Bit(true);
    return values.front().to8Bit(true);
}

TagFields FromId3v2(const TagLib::ID3v2::Tag& tag) {
    TagFields fields;
    fields.title = FrameText(tag, "TIT2");
    fields.artist = FrameText(tag, "TPE1");
    fields.album = FrameText(tag, "TALB");
    fields.year = FrameText(tag, "TDRC");
    fields.genre = GenreText(tag);
    fields.track = FrameText(tag, "TRCK");
    fields.isrc = FrameText(tag, "TSRC");
    fields.label = FrameText(tag, "TPUB");
    fields.comment = NonEmpty(tag.comment());
    return fields;
}

std::optional<std::string> Property(const TagLib::PropertyMap& map, const char* key) {
    const auto found = map.find(key);
    if (found == map.end()) return std::nullopt;
    return Joined(found->second);
}

TagFields FromProperties(const TagLib::PropertyMap& map) {
    TagFields fields;
    fields.title = Property(map, "TITLE");
    fields.artist = Property(map, "ARTIST");
    fields.album = Property(map, "ALBUM");
    fields.year = Property(map, "DATE");
    fields.genre = Property(map, "GENRE");
    fields.track = Property(map, "TRACKNUMBER");
    fields.comment = Property(map, "COMMENT");
    // TagLib names MP4's "----:com.apple.iTunes:ISRC" and ID3v2's TSRC "ISRC" in every format,
    // and the label ("----:com.apple.iTunes:LABEL", TPUB) "LABEL"; Vorbis comments often carry
    // the label as ORGANIZATION instead.
    fields.isrc = Property(map, "ISRC");
    fields.label = Property(map, "LABEL");
    if (!fields.label) fields.label = Property(map, "ORGANIZATION");
    return fields;
}

std::unique_ptr<TagLib::File> OpenAs(AudioFormat format, TagLib::IOStream* stream) {
    constexpr auto kStyle = TagLib::AudioProperties::Average;
    switch (format) {
        case AudioFormat::Flac:
            return std::make_unique<TagLib::FLAC::File>(
                stream, TagLib::ID3v2::FrameFactory::instance(), true, kStyle);
        case AudioFormat::OggVorbis:
            return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, true, kStyle);
        case AudioFormat::OggOpus:
            return std::make_unique<TagLib::Ogg::Opus::File>(stream, true, kStyle);
        case AudioFormat::OggFlac:
            return std::make_unique<TagLib::Ogg::FLAC::File>(stream, true, kStyle);
        case AudioFormat::Mp4:
            return std::make_unique<TagLib::MP4::File>(stream, true, kStyle);
        case AudioFormat::Wav:
            return std::make_unique<TagLib::RIFF::WAV::File>(stream, true, kStyle);
        case AudioFormat::Aiff:
            return std::make_unique<TagLib::RIFF::AIFF::File>(stream, true, kStyle);
        case AudioFormat::Unknown:
        case AudioFormat::Mpeg:
            break;
    }
    return nullptr;
}

// Tags alone, in memory: no format's search for its other tags and frames.
class TagBytes : public TagLib::File {
public:
    explicit TagBytes(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

std::string Id3v2Name(const TagLib::ID3v2::Tag& tag) {
    return "ID3v2." + std::to_string(tag.header()->majorVersion());
}

// The tag whose fields the file's property map shows, by the name stations know it by.
std::string TagSourceOf(AudioFormat format, TagLib::File& file) {
    switch (format) {
        case AudioFormat::Flac:
        case AudioFormat::OggVorbis:
        case AudioFormat::OggOpus:
        case AudioFormat::OggFlac:
            return "Vorbis comment";
        case AudioFormat::Mp4:
            return "MP4";
        case AudioFormat::Wav: {
            auto& wav = static_cast<TagLib::RIFF::WAV::File&>(file);
            if (wav.hasID3v2Tag()) return Id3v2Name(*wav.ID3v2Tag());
            return "RIFF INFO";
        }
        case AudioFormat::Aiff: {
            auto& aiff = static_cast<TagLib::RIFF::AIFF::File&>(file);
            if (aiff.hasID3v2Tag()) return Id3v2Name(*aiff.tag());
            return "none";
        }
        case AudioFormat::Unknown:
        case AudioFormat::Mpeg:
            break;
    }
    return "none";
}

}  // namespace

TagReadStatus TagLibReader::ReadMp3Tags(std::string_view id3v2Tag, std::string_view apeTag,
                                        TagFields& id3v2Fields, std::string& id3v2Version,
                                        TagFields& apeFields) {
    try {
        if (!id3v2Tag.empty()) {
            TagLib::ByteVector bytes(id3v2Tag.data(), static_cast<unsigned int>(id3v2Tag.size()));
            TagLib::ByteVectorStream stream(bytes);
            TagBytes file(&stream);
            const TagLib::ID3v2::Tag tag(&file, 0);
            id3v2Fields = FromId3v2(tag);
            id3v2Version = Id3v2Name(tag);
        }
        if (!apeTag.empty()) {
            TagLib::ByteVector bytes(apeTag.data(), static_cast<unsigned int>(apeTag.size()));
            TagLib::ByteVectorStream stream(bytes);
            TagBytes file(&stream);
            const TagLib::APE::Tag tag(&file, static_cast<long>(apeTag.size()) - 32);
            apeFields = FromProperties(tag.properties());
        }
        return TagReadStatus::Success;
    } catch (...) {
        return TagReadStatus::Unreadable;
    }
}

TagReadStatus TagLibReader::ReadOtherFormat(const RandomAccessFile& file, AudioFormat format,
                                            TrackFacts& facts) {
    try {
        FileStream stream(file);
        const std::unique_ptr<TagLib::File> opened = OpenAs(format, &stream);
        if (!opened) return TagReadStatus::Unsupported;
        if (!opened->isValid()) return TagReadStatus::Unreadable;
        const TagLib::AudioProperties* properties = opened->audioProperties();
        if (properties == nullptr) return TagReadStatus::Unreadable;
        facts.durationMs = properties->lengthInMilliseconds();
        facts.sampleRate = properties->sampleRate();
        facts.bitRate = properties->bitrate();
        facts.channels = properties->channels();
        facts.tags = FromProperties(opened->properties());
        facts.tagSource = TagSourceOf(format, *opened);
        return TagReadStatus::Success;
    } catch (...) {
        return TagReadStatus::Unreadable;
    }
}

}  // namespace kestrune
