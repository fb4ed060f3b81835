#include "app/styles/ProjectStyles.h"

#include "projectdata/ProjectData.h"

#include <array>
#include <utility>

namespace varnoke {

namespace {
template <typename Project> auto Choices(Project& project) {
    return std::array<std::pair<decltype(&project.StyleTitle), QString>, 3>{
        {{&project.StyleTitle, QStringLiteral("タイトル")},
         {&project.StyleMenu, QStringLiteral("メニュー")},
         {&project.StyleText, QStringLiteral("本文")}}};
}
} // namespace

QStringList ProjectChoicesOfStyle(const TProjectData& project, int style) {
    QStringList users;
    for (const auto& [choice, caption] : Choices(project)) {
        if (*choice == style)
            users << caption;
    }
    return users;
}

bool FollowDeletedStyle(TProjectData& project, int deleted) {
    bool changed = false;
    for (const auto& [choice, caption] : Choices(project)) {
        const int before = *choice;
        if (before == deleted)
            *choice = 0;
        else if (before > deleted)
            *choice = before - 1;
        changed = changed || *choice != before;
    }
    return changed;
}

} // namespace varnoke
