#pragma once

#include "signals/deliveryanswer.h"
#include "signals/deliverymessage.h"

#include <QCoroTask>

#include <chrono>

class QNetworkAccessManager;
class QObject;

// POSTs a request's JSON body and returns what came back. The transfer times out, redirects are
// not followed (a token must not travel to another host), and only the first HttpAnswer::kBodyCap
// bytes of the answer are kept. The request is aborted when `owner` is destroyed.
QCoro::Task<HttpAnswer> postDelivery(QNetworkAccessManager &network, DeliveryRequest request,
                                     std::chrono::milliseconds timeout, const QObject *owner);
