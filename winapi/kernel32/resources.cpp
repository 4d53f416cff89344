// Win32 resource stand-ins over the resources compiled into the program and those registered at
// run time: FindResourceA, LoadResource, SizeofResource, LockResource, GetModuleHandleA.
// Names and types are matched by number or case-insensitive name; the module is not looked at.
#include "winapi/kernel32/resources.h"

#include <strings.h>

#include <cstring>
#include <deque>
#include <string>

namespace winapi {
namespace {

struct Resource {
    std::string type;
    int id;
    const uint8_t* data;
    uint32_t size;
    std::vector<uint8_t> copy;  // registered resources own their bytes
    bool removed = false;       // a registered entry that hides the resource
};

struct Registry {
    std::deque<Resource> embedded;
    std::deque<Resource> registered;
    bool loaded = false;
};

Registry& Resources() {
    static Registry registry;
    if (!registry.loaded) {
        registry.loaded = true;
        for (const EmbeddedResource* row = kEmbeddedResources; row->type != nullptr; ++row) {
            registry.embedded.push_back(
                Resource{row->type, row->id, row->begin, (uint32_t)(row->end - row->begin), {}});
        }
    }
    return registry;
}

// A type given as MAKEINTRESOURCE(n) has no name here; only named types are listed.
std::string TypeName(LPCSTR type) {
    if (IS_INTRESOURCE(type)) {
        std::string name = std::to_string(LOWORD(type));
        name.insert(name.begin(), '#');
        return name;
    }
    return type;
}

Resource* Find(const std::string& type, int id) {
    Registry& registry = Resources();
    for (Resource& resource : registry.registered) {
        if (resource.id == id && strcasecmp(resource.type.c_str(), type.c_str()) == 0) {
            return resource.removed ? nullptr : &resource;
        }
    }
    for (Resource& resource : registry.embedded) {
        if (resource.id == id && strcasecmp(resource.type.c_str(), type.c_str()) == 0) {
            return &resource;
        }
    }
    return nullptr;
}

// An icon handle: the resource behind it, or none for the stock icon.
struct IconObject {
    int id;
};
std::deque<IconObject>& Icons() {
    static std::deque<IconObject> icons;
    return icons;
}

}  // namespace

void RegisterResource(const char* type, int id, const void* data, size_t size) {
    Registry& registry = Resources();
    for (Resource& resource : registry.registered) {
        if (resource.id == id && strcasecmp(resource.type.c_str(), type) == 0) {
            resource.copy.assign((const uint8_t*)data, (const uint8_t*)data + size);
            resource.data = resource.copy.data();
            resource.size = (uint32_t)size;
            resource.removed = false;
            return;
        }
    }
    registry.registered.push_back(Resource{type, id, nullptr, (uint32_t)size, {}});
    Resource& added = registry.registered.back();
    added.copy.assign((const uint8_t*)data, (const uint8_t*)data + size);
    added.data = added.copy.data();
}

void RemoveResource(const char* type, int id) {
    RegisterResource(type, id, nullptr, 0);
    for (Resource& resource : Resources().registered) {
        if (resource.id == id && strcasecmp(resource.type.c_str(), type) == 0) {
            resource.removed = true;
        }
    }
}

void ForgetRegisteredResources() {
    Resources().registered.clear();
}

const uint8_t* FindResourceBytes(const char* type, int id, uint32_t* size) {
    Resource* resource = Find(type, id);
    if (resource == nullptr) return nullptr;
    if (size != nullptr) *size = resource->size;
    return resource->data;
}

HICON IconFromResource(int id) {
    if (Find("ICON", id) == nullptr) return nullptr;
    for (IconObject& icon : Icons()) {
        if (icon.id == id) return reinterpret_cast<HICON>(&icon);
    }
    Icons().push_back(IconObject{id});
    return reinterpret_cast<HICON>(&Icons().back());
}

const uint8_t* IconBytes(HICON icon, uint32_t* size) {
    for (IconObject& object : Icons()) {
        if (reinterpret_cast<HICON>(&object) == icon)
            return FindResourceBytes("ICON", object.id, size);
    }
    return nullptr;
}

}  // namespace winapi

namespace {
// The program's module handle: any non-null value; resources are found whatever module is given.
int moduleToken;
}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName != nullptr) return nullptr;
    return reinterpret_cast<HMODULE>(&moduleToken);
}

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    if (name == nullptr || type == nullptr || !IS_INTRESOURCE(name)) return nullptr;
    return reinterpret_cast<HRSRC>(winapi::Find(winapi::TypeName(type), LOWORD(name)));
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) return nullptr;
    return const_cast<uint8_t*>(reinterpret_cast<winapi::Resource*>(resource)->data);
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) return 0;
    return reinterpret_cast<winapi::Resource*>(resource)->size;
}

LPVOID WINAPI LockResource(HGLOBAL resourceData) {
    return resourceData;
}
