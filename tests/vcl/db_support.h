// Helpers for the dataset tests: a temporary drive root and an event recorder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "vcl/db.h"
#include "vcl/sysutils.h"

namespace dbtest {

// A fresh folder that is the drive root while the object lives, removed afterwards.
class TempRoot {
public:
    TempRoot() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("spaltwerk-") + (info ? info->name() : "test") + "-" +
                           std::to_string(reinterpret_cast<std::uintptr_t>(this));
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        vcl::SetDriveRoot(path_);
    }
    ~TempRoot() {
        vcl::ResetDriveRoot();
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Installs the four open/close events and writes what each one saw into a log.
inline void RecordEvents(vcl::TDataSet& ds, std::vector<std::string>& log) {
    auto entry = [&log](const char* event) {
        return [&log, event](vcl::TDataSet* d) {
            log.push_back(std::string(event) + (d->Active() ? " active" : " inactive") + " fields=" +
                          std::to_string(d->FieldCount()));
        };
    };
    ds.BeforeOpen = entry("BeforeOpen");
    ds.AfterOpen = entry("AfterOpen");
    ds.BeforeClose = entry("BeforeClose");
    ds.AfterClose = entry("AfterClose");
}

// The field names in the dataset's current order, joined by ','.
inline std::string FieldOrder(const vcl::TDataSet& ds) {
    std::string order;
    for (int i = 0; i < ds.FieldCount(); ++i) order += (i ? "," : "") + ds.Fields(i)->FieldName();
    return order;
}

}  // namespace dbtest
