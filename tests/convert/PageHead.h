// The eight lines every generated page (but the frame set) begins with.
#pragma once

#include <string>
#include <vector>

namespace varnoke::test {

inline std::vector<std::string> PageHead(const std::string& title, const std::string& sheet) {
    return {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">",
            "<html lang=\"ja\">",
            "<head>",
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
            "<meta name=\"GENERATOR\" content=\"VARNOKE V2\">",
            "<title>" + title + "</title>",
            "<link href=\"" + sheet + "\" rel=\"stylesheet\" type=\"text/css\">",
            "</head>"};
}

inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace varnoke::test
