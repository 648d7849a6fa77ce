#include "gallery/print_catalogue.h"

void Print_Catalogue::Fill(TPrint_Service& service) {
  entries.clear();
  for (const std::string& name : service.Printer_Names()) {
    if (entries.size() == Most_Printers) break;
    Entry entry;
    entry.name = name;
    entry.described = service.Describe(name, entry.description);
    // A printer that does not answer: its server has gone, most likely,
    // and the others would only keep the person waiting.
    if (!entry.described) {
      entries.push_back(entry);
      break;
    }
    entry.media = service.Media(name);
    entries.push_back(std::move(entry));
  }
}

const Print_Catalogue::Entry* Print_Catalogue::Find(const std::string& name) const {
  for (const Entry& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

bool Print_Catalogue::Describe(const std::string& name, TPrinter_Description& printer) {
  const Entry* entry = Find(name);
  if (!entry || !entry->described) return false;
  printer = entry->description;
  return true;
}

std::vector<std::string> Print_Catalogue::Printer_Names() {
  std::vector<std::string> names;
  for (const Entry& entry : entries) names.push_back(entry.name);
  return names;
}

std::vector<TPrint_Media> Print_Catalogue::Media(const std::string& name) {
  const Entry* entry = Find(name);
  return entry ? entry->media : std::vector<TPrint_Media>();
}
