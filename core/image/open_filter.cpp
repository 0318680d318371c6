// Open dialog filters. Portable.
#include "core/image/open_filter.h"

namespace pelio {

std::vector<std::pair<std::wstring, std::wstring>> OpenDialogFilters(
    const std::vector<std::wstring>& pluginPatterns) {
    std::wstring plugins;
    for (const std::wstring& p : pluginPatterns) {
        if (!plugins.empty()) plugins += L";";
        plugins += p;
    }
    std::wstring all = L"*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.tif;*.tiff;*.gif";
    if (!plugins.empty()) all += L";" + plugins;

    std::vector<std::pair<std::wstring, std::wstring>> f = {
        {L"イメージ ファイル (*.bmp;*.png;*.jpg;*.tif;*.gif; etc)", all},
        {L"ビットマップ ファイル (*.bmp)", L"*.bmp"},
        {L"PNG ファイル (*.png)", L"*.png"},
        {L"JPEG ファイル (*.jpg;*.jpeg;*.jpe)", L"*.jpg;*.jpeg;*.jpe"},
        {L"TIFF ファイル (*.tif;*.tiff)", L"*.tif;*.tiff"},
        {L"GIF ファイル (*.gif)", L"*.gif"},
    };
    if (!plugins.empty()) f.emplace_back(L"プラグイン対応 ファイル (" + plugins + L")", plugins);
    f.emplace_back(L"すべて (*.*)", L"*.*");
    return f;
}

std::wstring JoinDialogFilters(const std::vector<std::pair<std::wstring, std::wstring>>& filters) {
    std::wstring out;
    for (const auto& [description, pattern] : filters) {
        out += description;
        out.push_back(L'\0');
        out += pattern;
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

}  // namespace pelio
