// The dialog resource as the program carries it: template 1 in its two languages,
// identical in every byte, and the same dialog as main_dialog_template, control by
// control.
#include "ui/dialog_template.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Resource {
    const unsigned char* bytes;
    DWORD size;
};

Resource dialog_resource(WORD language) {
    const HRSRC found = FindResourceExA(nullptr, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                        MAKEINTRESOURCEA(1), language);
    if (found == nullptr) {
        return {nullptr, 0};
    }
    const HGLOBAL loaded = LoadResource(nullptr, found);
    return {static_cast<const unsigned char*>(LockResource(loaded)),
            SizeofResource(nullptr, found)};
}

const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const WORD chinese_prc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// Reads a DLGTEMPLATE and its DLGITEMTEMPLATEs (the classic, non-extended layout).
class TemplateReader {
  public:
    explicit TemplateReader(Resource resource) : at_(resource.bytes), end_(at_ + resource.size) {}

    DWORD dword() {
        DWORD value = 0;
        take(&value, sizeof value);
        return value;
    }
    WORD word() {
        WORD value = 0;
        take(&value, sizeof value);
        return value;
    }
    short number() { return static_cast<short>(word()); }

    // A string or an ordinal (0xFFFF, then the number: "#n"); an empty field gives "".
    std::string text_or_ordinal() {
        std::string out;
        WORD c = word();
        if (c == 0xFFFF) {
            char ordinal[16];
            std::snprintf(ordinal, sizeof ordinal, "#%u", static_cast<unsigned>(word()));
            return ordinal;
        }
        for (; c != 0 && !overrun_; c = word()) {
            out += static_cast<char>(c); // the dialog's texts are ASCII
        }
        return out;
    }

    void align_to_dword(const unsigned char* start) {
        while ((at_ - start) % 4 != 0 && at_ < end_) {
            ++at_;
        }
    }

    bool overrun() const { return overrun_; }
    const unsigned char* position() const { return at_; }

  private:
    void take(void* out, std::size_t size) {
        if (static_cast<std::size_t>(end_ - at_) < size) {
            overrun_ = true;
            return;
        }
        std::memcpy(out, at_, size);
        at_ += size;
    }

    const unsigned char* at_;
    const unsigned char* end_;
    bool overrun_ = false;
};

// The predefined classes as the resource compiler may store them, by ordinal.
std::string class_name_of(const std::string& stored) {
    static const std::pair<const char*, const char*> ordinals[] = {
        {"#128", "BUTTON"},  {"#129", "EDIT"},      {"#130", "STATIC"},
        {"#131", "LISTBOX"}, {"#132", "SCROLLBAR"}, {"#133", "COMBOBOX"}};
    for (const auto& [ordinal, name] : ordinals) {
        if (stored == ordinal) {
            return name;
        }
    }
    return stored;
}

TEST(DialogResource, BothLanguagesHoldTheSameBytes) {
    const Resource first = dialog_resource(neutral);
    const Resource second = dialog_resource(chinese_prc);
    ASSERT_NE(first.bytes, nullptr) << "no language-neutral dialog 1";
    ASSERT_NE(second.bytes, nullptr) << "no Chinese (PRC) dialog 1";
    ASSERT_EQ(first.size, second.size);
    EXPECT_EQ(std::memcmp(first.bytes, second.bytes, first.size), 0);
}

TEST(DialogResource, IsTheMainDialogTemplateControlByControl) {
    const Resource resource = dialog_resource(neutral);
    ASSERT_NE(resource.bytes, nullptr);
    TemplateReader reader(resource);
    const DialogTemplate& expected = main_dialog_template;

    EXPECT_EQ(reader.dword(), expected.styles);
    EXPECT_EQ(reader.dword(), 0u) << "no extended style";
    ASSERT_EQ(reader.word(), static_cast<WORD>(expected.control_count));
    EXPECT_EQ(reader.number(), expected.x);
    EXPECT_EQ(reader.number(), expected.y);
    EXPECT_EQ(reader.number(), expected.width);
    EXPECT_EQ(reader.number(), expected.height);
    EXPECT_EQ(reader.text_or_ordinal(), "") << "no menu";
    EXPECT_EQ(reader.text_or_ordinal(), "") << "the platform's dialog class";
    EXPECT_EQ(reader.text_or_ordinal(), expected.caption);
    EXPECT_EQ(reader.word(), static_cast<WORD>(expected.font_points));
    EXPECT_EQ(reader.text_or_ordinal(), expected.font_name);

    for (int i = 0; i < expected.control_count; ++i) {
        const DialogControl& control = expected.controls[i];
        SCOPED_TRACE("control " + std::to_string(control.id));
        reader.align_to_dword(resource.bytes);
        EXPECT_EQ(reader.dword(), control.styles | style::ws_child | style::ws_visible);
        EXPECT_EQ(reader.dword(), 0u);
        EXPECT_EQ(reader.number(), control.x);
        EXPECT_EQ(reader.number(), control.y);
        EXPECT_EQ(reader.number(), control.width);
        EXPECT_EQ(reader.number(), control.height);
        EXPECT_EQ(reader.word(), static_cast<WORD>(control.id));
        // Window classes are named without regard to case; the resource compiler may
        // store a name in capitals.
        EXPECT_STRCASEEQ(class_name_of(reader.text_or_ordinal()).c_str(),
                         control_class_name(control.control_class));
        EXPECT_EQ(reader.text_or_ordinal(), control.text != nullptr ? control.text : "");
        EXPECT_EQ(reader.word(), 0u) << "no creation data";
    }
    EXPECT_FALSE(reader.overrun());
}

} // namespace
