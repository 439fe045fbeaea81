#pragma once
// The long, localised description of a function code: the sentence shown in
// key hints and in the lists of the trigger-layer editor, the macro editor
// and the indicator-actions page. Texts are looked up on every call, so a
// language change shows at once.

#include <string>

#include "functions/func_code.h"

namespace qvk {

class key_code_convert;

// in_list: the caller is a list, which shows nothing for transparent and
// disabled codes; key hints pass false.
std::string func_code_to_desc_str(const key_code_convert& texts, const func_code& code, bool in_list);

} // namespace qvk
