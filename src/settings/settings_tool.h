#ifndef KELVADOR_SETTINGS_SETTINGS_TOOL_H_
#define KELVADOR_SETTINGS_SETTINGS_TOOL_H_

#include <string>
#include <string_view>

// kelvador-settings: writes and shows the system settings file so that nobody
// has to encipher values by hand.
namespace kelvador {

// What SetSettingInText did.
struct SetOutcome {
  int number = 0;         // the number of the pair that now holds the value
  bool added = false;     // true: a new pair was appended
  std::string taken_key;  // key of the replaced pair (differs from the key
                          // when the pair answers every lookup)
};

// Gives `key` the value `value` in a settings text: replaces the value of the
// first pair the run would take for `key` (section "", number 0), or adds the
// pair ";SYSTEM;" / "N;KEY;HEX" with the next free number above 0, in the
// text's line ends. Every other byte stays as it was. Returns 0 with `*text`
// changed; -1 with `*error` set and `*text` unchanged.
int SetSettingInText(std::string* text, std::string_view key, std::string_view value,
                     SetOutcome* outcome, std::string* error);

// One line per record pair, "number<TAB>section<TAB>key<TAB>value\n", with the
// deciphered value; control characters are shown escaped. The value of PASS,
// and of any pair the run would take for PASS, is shown as "********".
std::string ListSettings(std::string_view text);

// The command: `set FILE KEY [VALUE]`, `list FILE`, `encrypt [VALUE]`,
// `--help`. Returns the exit status: 0 done, 1 failed, 2 wrong usage.
int RunSettingsTool(int argc, char** argv);

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_SETTINGS_TOOL_H_
