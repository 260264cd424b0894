#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "loader/xml/XmlDocument.h"

namespace torvane::test {

// A document the test expects to parse; none (and a failure) when it does not.
inline std::unique_ptr<XmlDocument> parseXml(std::string_view xml) {
    auto result = XmlDocument::initWithData(xml);
    EXPECT_TRUE(result.ok()) << result.error().message;
    return result ? std::move(result).value() : nullptr;
}

// A file in the temp folder, named per process so parallel test runs do not share it.
inline std::filesystem::path tempXmlFile(const std::string& name, const std::string& content) {
    auto path = std::filesystem::temp_directory_path() / ("torvane-xml-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

}  // namespace torvane::test
