#pragma once

// windows.h must come before the headers that build on it.
#include <windows.h>

#include <ole2.h>

#include <functional>
#include <map>
#include <vector>

// Destroyed directly, never through its interfaces.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// What a drag source hands over, under the test's control: blocks of global memory per
// clipboard format, or a stream where global memory was asked for. Every medium it hands out
// carries a witness whose release shows the medium was given back.
class TestDataObject final : public IDataObject {
public:
    TestDataObject() = default;
    virtual ~TestDataObject();
    TestDataObject(const TestDataObject&) = delete;
    TestDataObject& operator=(const TestDataObject&) = delete;

    void offer(CLIPFORMAT format, const std::vector<unsigned char>& bytes) { blocks[format] = bytes; }
    void offerText(const char* text);
    // Claims global memory for the format but hands over a stream.
    void offerStreamInstead(CLIPFORMAT format) { streams.push_back(format); }
    // A block of `size` bytes that nobody fills: big text without the test's own copy of it.
    void offerUnfilled(CLIPFORMAT format, SIZE_T size) { unfilled[format] = size; }
    // Offered, but GetData fails for it.
    void failToHandOver(CLIPFORMAT format) { failing.push_back(format); }

    // Runs at the start of every QueryGetData and GetData, as a source's own code would (it may
    // run the host's, or throw).
    std::function<void()> whileAsked;

    int handedOut() const { return given; }
    int released() const { return witness.releases; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    // Answers the medium's release; the medium's memory stays with the data object.
    struct ReleaseWitness final : IUnknown {
        virtual ~ReleaseWitness() = default;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override {
            ++releases;
            return 1;
        }
        int releases = 0;
    };

    bool offers(const FORMATETC& format) const;

    std::map<CLIPFORMAT, std::vector<unsigned char>> blocks;
    std::vector<CLIPFORMAT> streams;
    std::map<CLIPFORMAT, SIZE_T> unfilled;
    std::vector<CLIPFORMAT> failing;
    std::vector<HGLOBAL> memory;
    ReleaseWitness witness;
    int given = 0;
};

#pragma GCC diagnostic pop
