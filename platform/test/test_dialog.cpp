// The test realisation of the dialog's fields, option buttons and file prompts: scripted
// answers in, records out.
#include "platform/test/test_platform.h"
#include "ui/feedback.h"
#include "ui/worker.h"

#include <cstring>

namespace test_platform {

std::string delay_text;
std::set<int> checked_options;
std::deque<PromptAnswer> prompt_answers;
std::vector<PromptRecord> prompts;
int abort_on_delay_read = 0;
std::vector<ComboEntry> combo_entries;
std::map<int, int> combo_selection;
std::vector<int> options_checked;

void reset_dialog() {
    delay_text.clear();
    checked_options.clear();
    prompt_answers.clear();
    prompts.clear();
    abort_on_delay_read = 0;
    combo_entries.clear();
    combo_selection.clear();
    options_checked.clear();
}

} // namespace test_platform

bool screen_read_delay(void*, std::uint32_t* value) {
    if (test_platform::abort_on_delay_read > 0) {
        --test_platform::abort_on_delay_read;
        request_abort();
    }
    return parse_delay_text(test_platform::delay_text.c_str(), value);
}

bool screen_option_checked(void*, int id) {
    return test_platform::checked_options.count(id) != 0;
}

bool prompt_for_file(void* owner, FilePrompt kind, const char* title, char* path,
                     std::size_t capacity) {
    test_platform::prompts.push_back({owner, kind, title, path});
    if (test_platform::prompt_answers.empty()) {
        return false;
    }
    const test_platform::PromptAnswer answer = test_platform::prompt_answers.front();
    test_platform::prompt_answers.pop_front();
    if (answer.press_abort) {
        request_abort();
    }
    if (!answer.accept || answer.path.size() + 1 > capacity) {
        return false;
    }
    std::memcpy(path, answer.path.c_str(), answer.path.size() + 1);
    return true;
}

void screen_combo_insert(void*, int id, int index, const char* text) {
    test_platform::combo_entries.push_back({id, index, text});
}

void screen_combo_select(void*, int id, int index) {
    test_platform::combo_selection[id] = index;
}

void screen_option_check(void*, int id) {
    test_platform::options_checked.push_back(id);
}
