// Every record and numbered-stream reader of a data file, for callers that
// use several of them. Each reader works on a CRecordStream the caller has
// opened on the record or stream; the Load* / Read*(CDataFile&, id) forms
// open it themselves.
#pragma once

#include "datafile/articles.h"
#include "datafile/keywords.h"
#include "datafile/numbered_streams.h"
#include "datafile/privacy_data.h"
#include "datafile/record_defaults.h"
