// SPDX-License-Identifier: MIT
// python/_nessel.cpp: the extension module behind the nessel package.
// It carries its own copy of the library (linked in statically, nothing of
// it exported) and calls it through the C++ interface of nessel.hpp.  Text
// crosses as UTF-16 units; the interpreter lock is released while the
// library works.  Failures raise nessel.Error with the result code.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <bit>
#include <string>

#include "config/platform.h"
#include "nessel.hpp"

namespace {

PyObject* g_error = nullptr;  // nessel.Error

// The library, started on first use (with the interpreter lock released:
// the first start may import the configuration file) and released when the
// process ends.
const nessel::library& lib() {
    static const nessel::library instance;
    return instance;
}

PyObject* raise(nessel::error e) {
    PyObject* exc = PyObject_CallFunction(g_error, "s", (std::to_string(e.code()) + " " +
                                                         e.name() + ": " + e.message())
                                                            .c_str());
    if (exc == nullptr) return nullptr;
    PyObject* code = PyLong_FromUnsignedLong(e.code());
    PyObject* name = PyUnicode_FromString(e.name());
    PyObject* message = PyUnicode_FromString(e.message());
    if (code && name && message) {
        PyObject_SetAttrString(exc, "code", code);
        PyObject_SetAttrString(exc, "name", name);
        PyObject_SetAttrString(exc, "message", message);
        PyErr_SetObject(g_error, exc);
    }
    Py_XDECREF(code);
    Py_XDECREF(name);
    Py_XDECREF(message);
    Py_DECREF(exc);
    return nullptr;
}

// A str as UTF-16 units (characters beyond the BMP as surrogate pairs;
// lone surrogates kept, as the library takes units singly) without an
// allocation for a name: a view of the str's own storage when it holds
// 16-bit characters (the caller's reference keeps it alive and unchanged
// while the interpreter lock is released), else widened on the stack.
class str_units {
public:
    bool set(PyObject* obj, const char* what) {
        if (!PyUnicode_Check(obj)) {
            PyErr_Format(PyExc_TypeError, "%s must be str, not %.100s", what,
                         Py_TYPE(obj)->tp_name);
            return false;
        }
        const auto n = static_cast<std::size_t>(PyUnicode_GET_LENGTH(obj));
        switch (PyUnicode_KIND(obj)) {
        case PyUnicode_2BYTE_KIND:
            view_ = {reinterpret_cast<const char16_t*>(PyUnicode_2BYTE_DATA(obj)), n};
            return true;
        case PyUnicode_1BYTE_KIND: {
            const Py_UCS1* d = PyUnicode_1BYTE_DATA(obj);
            char16_t* out = room(n);
            for (std::size_t i = 0; i < n; ++i) out[i] = d[i];
            view_ = {out, n};
            return true;
        }
        default: {
            const Py_UCS4* d = PyUnicode_4BYTE_DATA(obj);
            char16_t* out = room(2 * n);
            std::size_t k = 0;
            for (std::size_t i = 0; i < n; ++i) {
                Py_UCS4 c = d[i];
                if (c >= 0x10000) {
                    c -= 0x10000;
                    out[k++] = static_cast<char16_t>(0xD800 + (c >> 10));
                    out[k++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
                } else {
                    out[k++] = static_cast<char16_t>(c);
                }
            }
            view_ = {out, k};
            return true;
        }
        }
    }
    std::u16string_view view() const noexcept { return view_; }

private:
    char16_t* room(std::size_t n) {
        if (n <= std::size(local_)) return local_;
        heap_.resize(n);
        return heap_.data();
    }
    char16_t local_[1024];
    std::u16string heap_;
    std::u16string_view view_;
};

// UTF-16 units to str, pairing surrogates; a lone one stays as it is.
PyObject* str_of(const std::u16string& units) {
    int order = std::endian::native == std::endian::little ? -1 : 1;  // host order
    return PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(units.data()),
                                 static_cast<Py_ssize_t>(units.size() * 2), "surrogatepass",
                                 &order);
}

// An encoding argument: a name (str) or an enctype (int).
bool encoding_of(PyObject* obj, std::string& name, uint32_t& enctype, bool& by_type) {
    if (PyLong_Check(obj)) {
        const unsigned long t = PyLong_AsUnsignedLong(obj);
        if (PyErr_Occurred()) {
            PyErr_Clear();
            enctype = 0;
        } else {
            enctype = t > 0xFFFFFFFFul ? 0 : static_cast<uint32_t>(t);
        }
        by_type = true;
        return true;
    }
    Py_ssize_t n = 0;
    const char* s = PyUnicode_Check(obj) ? PyUnicode_AsUTF8AndSize(obj, &n) : nullptr;
    if (s == nullptr) {
        if (!PyErr_Occurred())
            PyErr_Format(PyExc_TypeError, "encoding must be str or int, not %.100s",
                         Py_TYPE(obj)->tp_name);
        return false;
    }
    name.assign(s, static_cast<std::size_t>(n));
    by_type = false;
    return true;
}

nessel::encoding_ref ref_of(const std::string& name, uint32_t enctype, bool by_type) {
    return by_type ? nessel::encoding_ref(enctype) : nessel::encoding_ref(std::string_view(name));
}

// Runs a call into the library with the interpreter lock released.
template <typename Fn>
auto unlocked(Fn fn) {
    PyThreadState* state = PyEval_SaveThread();
    auto r = fn(lib());
    PyEval_RestoreThread(state);
    return r;
}

// UTF-16 text that is most often ASCII (an ACE form) as a str.
PyObject* ascii_str_of(const std::u16string& units) {
    const auto n = static_cast<Py_ssize_t>(units.size());
    char16_t high = 0;
    for (char16_t c : units) high |= c;
    if (high >= 0x80) return PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, units.data(), n);
    PyObject* s = PyUnicode_New(n, 127);
    if (s == nullptr) return nullptr;
    Py_UCS1* d = PyUnicode_1BYTE_DATA(s);
    for (Py_ssize_t i = 0; i < n; ++i) d[i] = static_cast<Py_UCS1>(units[static_cast<std::size_t>(i)]);
    return s;
}

PyObject* to_ace_impl(PyObject* name, bool with_codec) {
    str_units in;
    if (!in.set(name, "name")) return nullptr;
    auto r = unlocked([&](const nessel::library& l) { return l.to_ace(in.view()); });
    if (!r) return raise(r.error());
    PyObject* text = ascii_str_of(r->text);
    if (!with_codec || text == nullptr) return text;
    return Py_BuildValue("(Ns)", text, r->codec.c_str());
}

// The one argument "name", positional or by keyword, without building an
// argument tuple.
PyObject* name_argument(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                        const char* function) {
    const Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
    if (nargs + nkw == 1) {
        if (nargs == 1) return args[0];
        if (PyUnicode_CompareWithASCIIString(PyTuple_GET_ITEM(kwnames, 0), "name") == 0)
            return args[0];
    }
    PyErr_Format(PyExc_TypeError, "%s() takes exactly one argument, name", function);
    return nullptr;
}

PyObject* py_to_ace(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    PyObject* name = name_argument(args, nargs, kwnames, "to_ace");
    return name ? to_ace_impl(name, false) : nullptr;
}
PyObject* py_to_ace_codec(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    PyObject* name = name_argument(args, nargs, kwnames, "to_ace_codec");
    return name ? to_ace_impl(name, true) : nullptr;
}

PyObject* py_to_unicode(PyObject*, PyObject* args, PyObject* kwargs) {
    static const char* keywords[] = {"ace", "codec", nullptr};
    const char* ace = nullptr;
    Py_ssize_t ace_size = 0;
    const char* codec = "amc-z";
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "s#|s:to_unicode", const_cast<char**>(keywords),
                                     &ace, &ace_size, &codec))
        return nullptr;
    const std::string in(ace, static_cast<std::size_t>(ace_size));
    const std::string c(codec);
    auto r = unlocked([&](const nessel::library& l) { return l.to_unicode16(in, c); });
    return r ? str_of(*r) : raise(r.error());
}

PyObject* py_nameprep(PyObject*, PyObject* args, PyObject* kwargs) {
    static const char* keywords[] = {"name", "flags", nullptr};
    PyObject* name = nullptr;
    unsigned long flags = nessel::default_prep_flags;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "U|k:nameprep", const_cast<char**>(keywords),
                                     &name, &flags))
        return nullptr;
    str_units in;
    if (!in.set(name, "name")) return nullptr;
    auto r = unlocked([&](const nessel::library& l) {
        return l.nameprep(in.view(), static_cast<uint32_t>(flags));
    });
    return r ? str_of(*r) : raise(r.error());
}

PyObject* py_encode(PyObject*, PyObject* args) {
    PyObject *text = nullptr, *enc = nullptr;
    if (!PyArg_ParseTuple(args, "OO:encode", &text, &enc)) return nullptr;
    str_units in;
    std::string name;
    uint32_t type = 0;
    bool by_type = false;
    if (!in.set(text, "text") || !encoding_of(enc, name, type, by_type)) return nullptr;
    auto r = unlocked([&](const nessel::library& l) {
        return l.encode(in.view(), ref_of(name, type, by_type));
    });
    if (!r) return raise(r.error());
    return PyBytes_FromStringAndSize(r->data(), static_cast<Py_ssize_t>(r->size()));
}

PyObject* py_decode(PyObject*, PyObject* args) {
    Py_buffer data;
    PyObject* enc = nullptr;
    if (!PyArg_ParseTuple(args, "y*O:decode", &data, &enc)) return nullptr;
    const std::string in(static_cast<const char*>(data.buf), static_cast<std::size_t>(data.len));
    PyBuffer_Release(&data);
    std::string name;
    uint32_t type = 0;
    bool by_type = false;
    if (!encoding_of(enc, name, type, by_type)) return nullptr;
    auto r = unlocked(
        [&](const nessel::library& l) { return l.decode16(in, ref_of(name, type, by_type)); });
    return r ? str_of(*r) : raise(r.error());
}

PyObject* py_enctype(PyObject*, PyObject* name) {
    std::string n;
    uint32_t type = 0;
    bool by_type = false;
    if (!encoding_of(name, n, type, by_type)) return nullptr;
    const uint32_t t = unlocked(
        [&](const nessel::library&) { return ref_of(n, type, by_type).enctype(); });
    return PyLong_FromUnsignedLong(t);
}

PyObject* py_encodings(PyObject*, PyObject*) {
    const auto list = unlocked([](const nessel::library& l) { return l.encodings(); });
    PyObject* out = PyList_New(static_cast<Py_ssize_t>(list.size()));
    for (std::size_t i = 0; out != nullptr && i < list.size(); ++i) {
        PyObject* item = Py_BuildValue("(s#I)", list[i].name.data(),
                                       static_cast<Py_ssize_t>(list[i].name.size()),
                                       list[i].enctype);
        if (item == nullptr) {
            Py_CLEAR(out);
            break;
        }
        PyList_SET_ITEM(out, static_cast<Py_ssize_t>(i), item);
    }
    return out;
}

PyObject* py_zones(PyObject*, PyObject*) {
    auto r = unlocked([](const nessel::library& l) { return l.zones(); });
    if (!r) return raise(r.error());
    PyObject* out = PyList_New(static_cast<Py_ssize_t>(r->size()));
    for (std::size_t i = 0; out != nullptr && i < r->size(); ++i) {
        const nessel::zone_info& z = (*r)[i];
        // Zone fields are bytes as the store holds them; shown as Latin-1
        // so that no record fails to list.
        PyObject* item = Py_BuildValue(
            "(NNNNNNNNNI)", PyUnicode_DecodeLatin1(z.zone.data(), z.zone.size(), nullptr),
            PyUnicode_DecodeLatin1(z.codec.data(), z.codec.size(), nullptr),
            PyUnicode_DecodeLatin1(z.prefix.data(), z.prefix.size(), nullptr),
            PyUnicode_DecodeLatin1(z.suffix.data(), z.suffix.size(), nullptr),
            PyUnicode_DecodeLatin1(z.alt_codec.data(), z.alt_codec.size(), nullptr),
            PyUnicode_DecodeLatin1(z.alt_prefix.data(), z.alt_prefix.size(), nullptr),
            PyUnicode_DecodeLatin1(z.alt_suffix.data(), z.alt_suffix.size(), nullptr),
            PyUnicode_DecodeLatin1(z.strip_tail.data(), z.strip_tail.size(), nullptr),
            PyUnicode_DecodeLatin1(z.append_tail.data(), z.append_tail.size(), nullptr),
            z.prep_flags);
        if (item == nullptr) {
            Py_CLEAR(out);
            break;
        }
        PyList_SET_ITEM(out, static_cast<Py_ssize_t>(i), item);
    }
    return out;
}

PyObject* py_version(PyObject*, PyObject*) {
    const std::string_view v = nessel::library::version();
    return PyUnicode_FromStringAndSize(v.data(), static_cast<Py_ssize_t>(v.size()));
}

PyObject* py_set_data_directory(PyObject*, PyObject* arg) {
    Py_ssize_t n = 0;
    const char* s = PyUnicode_AsUTF8AndSize(arg, &n);
    if (s == nullptr) return nullptr;
    nessel::platform::set_data_directory(std::string_view(s, static_cast<std::size_t>(n)));
    Py_RETURN_NONE;
}

PyMethodDef kMethods[] = {
    {"to_ace", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(py_to_ace)),
     METH_FASTCALL | METH_KEYWORDS,
     "to_ace(name)\n--\n\nConvert a domain name or e-mail address to its ACE form.\n\n"
     "The name is prepared (nameprep), its zone found in the zone table and the\n"
     "zone's codec applied.  A name that is ASCII once prepared gives that\n"
     "prepared form.  Raises Error (e.g. code 4001 when no zone matches)."},
    {"to_ace_codec", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(py_to_ace_codec)),
     METH_FASTCALL | METH_KEYWORDS,
     "to_ace_codec(name)\n--\n\nLike to_ace, and also the codec used: (ace, codec).\n\n"
     "codec is \"\" when the prepared name was already ASCII."},
    {"to_unicode", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(py_to_unicode)),
     METH_VARARGS | METH_KEYWORDS, nullptr},
    {"nameprep", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(py_nameprep)),
     METH_VARARGS | METH_KEYWORDS, nullptr},
    {"encode", py_encode, METH_VARARGS, nullptr},
    {"decode", py_decode, METH_VARARGS, nullptr},
    {"enctype", py_enctype, METH_O, nullptr},
    {"encodings", py_encodings, METH_NOARGS, nullptr},
    {"zones", py_zones, METH_NOARGS, nullptr},
    {"version", py_version, METH_NOARGS, nullptr},
    {"_set_data_directory", py_set_data_directory, METH_O, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef kModule = {PyModuleDef_HEAD_INIT, "nessel._nessel", nullptr, -1, kMethods,
                       nullptr, nullptr, nullptr, nullptr};

}  // namespace

PyMODINIT_FUNC PyInit__nessel() {
    PyObject* m = PyModule_Create(&kModule);
    if (m == nullptr) return nullptr;
    g_error = PyErr_NewExceptionWithDoc(
        "nessel.Error",
        "A conversion failed.  code is the library's result code, name its symbolic name "
        "and message its meaning.",
        PyExc_ValueError, nullptr);
    if (g_error == nullptr || PyModule_AddObject(m, "Error", g_error) < 0) {
        Py_XDECREF(g_error);
        Py_DECREF(m);
        return nullptr;
    }
    Py_INCREF(g_error);  // the module holds one reference, this file another
    return m;
}
