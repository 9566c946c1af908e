// The Group Policy templates in installer/policies/: the ADMX writes exactly the registry values
// the program reads, and the ADML holds every text and presentation the ADMX refers to, and no
// others. Either mistake shows only on an administrator's machine: a policy that does nothing, or
// an editor that refuses the whole file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scan/scan_filters.h"
#include "settings/policy.h"

namespace {

struct Tag {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string policy;        // the name of the policy it lies in, if any
  std::string presentation;  // the id of the presentation it lies in, if any
};

std::string ReadSource(const std::string& relative) {
  std::ifstream in(std::filesystem::path(CX_SOURCE_DIR) / relative, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The start tags of an XML text in order; fails the test when end tags do not match.
std::vector<Tag> StartTags(const std::string& xml) {
  static const std::regex attribute(R"re(([\w:]+)="([^"]*)")re");
  std::vector<Tag> tags;
  std::vector<size_t> open;  // indexes into tags
  for (size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
    if (xml.compare(at, 4, "<!--") == 0) {
      at = xml.find("-->", at);
      continue;
    }
    const size_t end = xml.find('>', at);
    if (end == std::string::npos) break;
    const std::string body = xml.substr(at + 1, end - at - 1);
    if (body.starts_with("?")) continue;
    if (body.starts_with("/")) {
      EXPECT_FALSE(open.empty()) << "</" << body;
      if (open.empty()) return tags;
      EXPECT_EQ(tags[open.back()].name, body.substr(1)) << "end tag out of place";
      open.pop_back();
      continue;
    }
    Tag tag;
    tag.name = body.substr(0, body.find_first_of(" \n\r\t/"));
    for (auto it = std::sregex_iterator(body.begin(), body.end(), attribute); it != std::sregex_iterator(); ++it)
      tag.attributes[(*it)[1]] = (*it)[2];
    for (size_t i : open) {
      if (tags[i].name == "policy") tag.policy = tags[i].attributes["name"];
      if (tags[i].name == "presentation") tag.presentation = tags[i].attributes["id"];
    }
    tags.push_back(tag);
    if (!body.ends_with("/")) open.push_back(tags.size() - 1);
  }
  EXPECT_TRUE(open.empty()) << "unclosed tags";
  return tags;
}

// Every "$(kind.id)" reference in a text.
std::set<std::string> References(const std::string& text, const std::string& kind) {
  const std::regex reference("\\$\\(" + kind + "\\.(\\w+)\\)");
  std::set<std::string> ids;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), reference); it != std::sregex_iterator(); ++it)
    ids.insert((*it)[1]);
  return ids;
}

TEST(PolicyTemplatesTest, TheAdmxWritesWhatTheProgramReadsAndTheAdmlHoldsWhatTheAdmxNames) {
  const std::string admx_text = ReadSource("installer/policies/clutterix.admx");
  const std::string adml_text = ReadSource("installer/policies/en-US/clutterix.adml");
  ASSERT_FALSE(admx_text.empty());
  ASSERT_FALSE(adml_text.empty());
  const std::vector<Tag> admx = StartTags(admx_text);
  const std::vector<Tag> adml = StartTags(adml_text);
  ASSERT_EQ(admx.at(0).name, "policyDefinitions");
  ASSERT_EQ(adml.at(0).name, "policyDefinitionResources");

  // The registry values: "key\name" ("key\*" for a list's entries).
  std::map<std::string, std::string> policy_keys;
  std::set<std::string> written;
  std::set<std::string> categories, definitions, strings, presentations;
  std::map<std::string, std::set<std::string>> element_ids, ref_ids;
  for (const Tag& tag : admx) {
    const auto attr = [&](const char* name) {
      const auto found = tag.attributes.find(name);
      return found == tag.attributes.end() ? std::string() : found->second;
    };
    if (tag.name == "category") categories.insert(attr("name"));
    if (tag.name == "definition") definitions.insert(attr("name"));
    if (tag.name == "parentCategory") {
      EXPECT_TRUE(categories.count(attr("ref"))) << attr("ref");
    }
    if (tag.name == "supportedOn" && !attr("ref").empty()) {
      EXPECT_TRUE(definitions.count(attr("ref"))) << attr("ref");
    }
    if (tag.name == "policy") {
      policy_keys[attr("name")] = attr("key");
      EXPECT_EQ(attr("class"), "Both") << attr("name");
      if (!attr("valueName").empty()) written.insert(attr("key") + "\\" + attr("valueName"));
    }
    // The policy's elements, each with an id (a bare <decimal value=...> is an on or off value).
    if (tag.policy.empty() || attr("id").empty()) continue;
    const std::string key = attr("key").empty() ? policy_keys[tag.policy] : attr("key");
    if (tag.name == "text" || tag.name == "decimal" || tag.name == "list") {
      written.insert(key + "\\" + (tag.name == "list" ? "*" : attr("valueName")));
      element_ids[tag.policy].insert(attr("id"));
    }
    if (tag.name == "decimal") {
      EXPECT_EQ(attr("minValue"), "0");
      EXPECT_EQ(attr("maxValue"), std::to_string(kMaxAgeDays));
    }
  }
  std::set<std::string> read;
  for (const TGarbageCategory& category : GarbageCategories())
    read.insert(std::string(kPolicyCategoriesKey) + "\\" + category.settings_key);
  for (const char* name : {kPolicyDisks, kPolicyMinAgeDays, kPolicyCheckForUpdates, kPolicyLanguage})
    read.insert(std::string(kPolicyKey) + "\\" + name);
  read.insert(std::string(kPolicyExclusionsKey) + "\\*");
  EXPECT_EQ(written, read);

  for (const Tag& tag : adml) {
    if (tag.name == "string") strings.insert(tag.attributes.at("id"));
    if (tag.name == "presentation") presentations.insert(tag.attributes.at("id"));
    if (!tag.presentation.empty() && tag.attributes.count("refId"))
      ref_ids[tag.presentation].insert(tag.attributes.at("refId"));
  }
  EXPECT_EQ(References(admx_text, "string"), strings);
  EXPECT_EQ(References(admx_text, "presentation"), presentations);
  // Each policy's presentation shows each of its elements, by the policy's own name.
  EXPECT_EQ(element_ids, ref_ids);
}

}  // namespace
