#include "records/file_services.h"

namespace pk {

namespace {
const FileServices* installed = nullptr;
}  // namespace

const FileServices& CurrentFileServices() {
  return installed != nullptr ? *installed : HostFileServices();
}

void UseFileServices(const FileServices* services) {
  installed = services;
}

}  // namespace pk
