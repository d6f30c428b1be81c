#include "app/services.h"

#include "app/options.h"

namespace driftscope {
namespace {

TServices& Installed() {
    static TServices services;
    return services;
}

} // namespace

bool TServices::CommandLineMode() const {
    return options != nullptr && options->commandLineMode;
}

const TTheme& TServices::Theme() const {
    static const TTheme defaults;
    return options != nullptr ? options->themeData : defaults;
}

const TServices& Services() {
    return Installed();
}

TServicesScope::TServicesScope(const TServices& services) : previous_(Installed()) {
    Installed() = services;
}

TServicesScope::~TServicesScope() {
    Installed() = previous_;
}

} // namespace driftscope
