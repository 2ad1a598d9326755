// Reads the declared settings of one element for a loader: every number checked against its
// range where it is read, with one message for every setting out of range. The game stops at the
// first such mistake; the data checker, as the loader's diagnostics, hears of each one and the
// setting keeps its default, so one mistake hides none that follows.
#pragma once

#include <string>
#include <utility>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
#include "base/Setting.h"
#include "base/XmlAttributes.h"

// `Error` is the loader's exception class (SourcedException); its errors carry the attribute,
// which the checker points at. `diagnostics` may be null (the game's start-up). `context` comes
// before each message ("Level file PATH: ").
template <class Error> class SettingReader {
public:
    SettingReader(const TiXmlElement* element, std::string source, LoadDiagnostics* diagnostics = nullptr,
                  std::string context = "")
        : element(element), source(std::move(source)), diagnostics(diagnostics), context(std::move(context)) {}

    // Reads `setting` into `value` (left as it is when absent, unreadable or out of range).
    template <class T> SettingReader& operator()(const Setting& setting, T& value) {
        fail(setting, xml::readSetting(element, setting, value));
        return *this;
    }
    // A fault that involves more than one setting (a minimum above its maximum), reported at
    // `setting` as any other.
    void fail(const Setting& setting, const std::string& fault) {
        if (fault.empty())
            return;
        Error refused(source, context + fault);
        refused.attribute = setting.name;
        if (!reportLoadError(diagnostics, element, refused))
            throw refused;
    }

private:
    const TiXmlElement* element;
    std::string source;
    LoadDiagnostics* diagnostics;
    std::string context;
};
