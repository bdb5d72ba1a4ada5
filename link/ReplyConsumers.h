#pragma once

class TStringqueue;

// The windows that wait for answers register themselves with the reply dispatch. Each
// callback looks at the head of the reply-token queue and, when the head is its kind,
// takes the tokens of one answer off it.

// "ST" answers: the controller status window.
class StatusReplyConsumer
{
public:
    virtual ~StatusReplyConsumer() = default;
    virtual void callback(TStringqueue &ReplyTokens) = 0;
};

// "RE" and "WE" answers: the controller table reader.
class TableReaderReplyConsumer
{
public:
    virtual ~TableReaderReplyConsumer() = default;
    // "WE" answers reach the reader only while it is shown.
    virtual bool isShown() const = 0;
    virtual void callbackcitanje(TStringqueue &ReplyTokens) = 0;
    virtual void callbackpisanje(TStringqueue &ReplyTokens) = 0;
    // After a connection error, called with false while the window is shown.
    virtual void ZasiviDugmad(bool gray) = 0;
};

// "WE" answers: the write-to-controllers progress window.
class WriteProgressReplyConsumer
{
public:
    virtual ~WriteProgressReplyConsumer() = default;
    virtual bool isActive() const = 0;
    virtual void callbackupis(TStringqueue &ReplyTokens) = 0;
    // After a connection error, called while the window is active: it closes.
    virtual void closeOnCommError() = 0;
};
